// Writes the files that name the supported printers, from the table the printer list uses: the
// udev rule that lets the user at the seat open them, and the vendor ID and USB modaliases filled
// into templates (the AppStream metainfo, the package's maintainer scripts).
//
//     printerfiles rule OUTPUT                          the udev rule
//     printerfiles fill TEMPLATE OUTPUT [NAME=VALUE]... TEMPLATE with @VENDOR_ID@, @MODALIASES@
//                                                       and each @NAME@ replaced
#include "core/printers/supportedprinters.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Substitutions = std::vector<std::pair<std::string, std::string>>;

// udev compares the sysfs attributes idVendor and idProduct as four lowercase hex digits;
// modaliases carry them in capitals.
std::string hex4(std::uint16_t id, bool upper = false)
{
    char text[5];
    std::snprintf(text, sizeof text, upper ? "%04X" : "%04x", static_cast<unsigned>(id));
    return text;
}

std::string rule()
{
    std::ostringstream out;
    out << "# USB label printers: the user at the seat may open them, no one else. systemd-logind\n"
           "# turns the uaccess tag into an ACL on the device node in 73-seat-late.rules, so this\n"
           "# file must sort before it. Generated from the tool's table of supported printers.\n";
    for (const supportedprinters::Brand &brand : supportedprinters::kBrands) {
        std::string products;
        for (std::uint16_t id : brand.productIds)
            products += (products.empty() ? "" : "|") + hex4(id);
        out << "\n# " << brand.brand << "\n"
            << "SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", ATTR{idVendor}==\""
            << hex4(supportedprinters::kVendorId) << "\", ATTR{idProduct}==\"" << products
            << "\", TAG+=\"uaccess\"\n";
    }
    return out.str();
}

// One <modalias> element per product, each on its own line with the placeholder's indentation.
std::string modaliases(const std::string &indent)
{
    std::string lines;
    for (const supportedprinters::Brand &brand : supportedprinters::kBrands)
        for (std::uint16_t id : brand.productIds)
            lines += (lines.empty() ? "" : "\n" + indent) + "<modalias>usb:v" +
                     hex4(supportedprinters::kVendorId, true) + "p" + hex4(id, true) +
                     "d*</modalias>";
    return lines;
}

std::string filled(std::string text, const Substitutions &given)
{
    Substitutions all = given;
    all.emplace_back("VENDOR_ID", hex4(supportedprinters::kVendorId));
    for (const auto &[name, value] : all) {
        const std::string placeholder = "@" + name + "@";
        for (std::size_t at = text.find(placeholder); at != std::string::npos;
             at = text.find(placeholder, at + value.size()))
            text.replace(at, placeholder.size(), value);
    }
    const std::string placeholder = "@MODALIASES@";
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder)) {
        const std::size_t lineStart = text.rfind('\n', at) + 1; // npos + 1 is 0
        const std::string indent = text.substr(lineStart, at - lineStart);
        text.replace(at, placeholder.size(), modaliases(indent));
    }
    return text;
}

bool readFile(const char *path, std::string &text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool writeFile(const char *path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return !out.fail();
}

int usage()
{
    std::fprintf(stderr, "usage: printerfiles rule OUTPUT\n"
                         "       printerfiles fill TEMPLATE OUTPUT [NAME=VALUE]...\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    std::string text;
    const char *output = nullptr;
    if (argc == 3 && std::strcmp(argv[1], "rule") == 0) {
        text = rule();
        output = argv[2];
    } else if (argc >= 4 && std::strcmp(argv[1], "fill") == 0) {
        Substitutions given;
        for (int i = 4; i < argc; ++i) {
            const char *equals = std::strchr(argv[i], '=');
            if (!equals)
                return usage();
            given.emplace_back(std::string(argv[i], equals - argv[i]), equals + 1);
        }
        if (!readFile(argv[2], text)) {
            std::fprintf(stderr, "printerfiles: cannot read %s\n", argv[2]);
            return 1;
        }
        text = filled(text, given);
        output = argv[3];
    } else {
        return usage();
    }
    if (!writeFile(output, text)) {
        std::fprintf(stderr, "printerfiles: cannot write %s\n", output);
        return 1;
    }
    return 0;
}
