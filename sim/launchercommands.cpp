#include "launchercommands.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace launcher {

namespace {

std::string sysfsNameOf(const std::string &port)
{
    return port.find('-') == std::string::npos ? "1-" + port : port;
}

// "status PORT WORD", "latency PORT MS" and "restart PORT MS|never [factory] [version TEXT]".
bool setUpPrinter(vprinter::VirtualUsb &usb, const std::string &line)
{
    std::istringstream words(line);
    std::string verb, port, value;
    words >> verb >> port >> value;
    vprinter::VirtualPrinter *printer = port.empty() ? nullptr : usb.find(sysfsNameOf(port));
    if (!port.empty() && !printer) {
        std::fprintf(stderr, "virtual-printers: no printer at %s\n", port.c_str());
        return false;
    }
    char *end = nullptr;
    bool ok = printer && !value.empty();
    if (ok && verb == "status") {
        const unsigned long word = std::strtoul(value.c_str(), &end, 0);
        std::string more;
        ok = *end == '\0' && word <= 0xFFFFFFFFul && !(words >> more);
        if (ok)
            printer->setStatusWord(std::uint32_t(word));
    } else if (ok && verb == "latency") {
        long ms = 0;
        std::string more;
        ok = parseMilliseconds(value, ms) && !(words >> more);
        if (ok)
            printer->setLatency(std::chrono::milliseconds(ms));
    } else if (ok) {
        vprinter::RestartPlan plan;
        plan.afterDownload = true;
        plan.neverBack = value == "never";
        if (!plan.neverBack) {
            const long ms = std::strtol(value.c_str(), &end, 10);
            ok = *end == '\0' && ms >= 0 && ms <= 3600000;
            plan.delayMs = int(ms);
        }
        for (std::string word; ok && words >> word;) {
            if (word == "factory") {
                plan.factorySettings = true;
            } else if (word == "status") {
                std::string text;
                ok = bool(words >> text);
                const unsigned long status = std::strtoul(text.c_str(), &end, 0);
                ok = ok && *end == '\0' && status <= 0xFFFFFFFFul;
                plan.statusAfter = std::uint32_t(status);
            } else if (word == "version") {
                std::getline(words >> std::ws, plan.newVersion);
                ok = !plan.newVersion.empty();
            } else {
                ok = false;
            }
        }
        if (ok)
            printer->setRestartPlan(plan);
    }
    if (!ok)
        std::fprintf(stderr, "virtual-printers: not a command: %s\n", line.c_str());
    else
        std::fprintf(stderr, "virtual-printers: %s\n", line.c_str());
    return ok;
}

} // namespace

bool parseMilliseconds(const std::string &text, long &ms)
{
    char *end = nullptr;
    errno = 0;
    ms = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0' && errno == 0 && ms >= 0 && ms <= 60000;
}

bool parsePrinter(const std::string &text, vprinter::PrinterConfig &config)
{
    const std::size_t first = text.find(':');
    const std::size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos)
        return false;
    const std::string pid = text.substr(0, first);
    const std::string port = text.substr(first + 1, second - first - 1);
    char *end = nullptr;
    const unsigned long productId = std::strtoul(pid.c_str(), &end, 16);
    if (pid.empty() || *end != '\0' || productId > 0xFFFF || port.empty())
        return false;
    config.identity.productId = std::uint16_t(productId);
    config.identity.product = text.substr(second + 1);
    config.sysfsName = port.find('-') == std::string::npos ? "1-" + port : port;
    return true;
}

bool runCommand(vprinter::VirtualUsb &usb, const std::string &line, bool deniedByFault,
                std::chrono::milliseconds latency)
{
    std::istringstream words(line);
    std::string verb, argument, extra;
    words >> verb >> argument >> extra;
    if (verb.empty())
        return true;
    if (verb == "status" || verb == "restart" || verb == "latency")
        return setUpPrinter(usb, line);
    bool ok = !argument.empty() && (extra.empty() || verb == "plug");
    try {
        if (ok && verb == "plug") {
            vprinter::PrinterConfig config;
            std::string more;
            if (extra == "unplug-after")
                ok = words >> config.unplugAfterWrites && config.unplugAfterWrites >= 0;
            ok = ok && parsePrinter(argument, config) && !(words >> more) &&
                 (extra.empty() || extra == "denied" || extra == "busy" || extra == "unplug-after");
            config.denied = extra == "denied";
            config.busy = extra == "busy";
            config.latency = latency;
            if (ok) {
                vprinter::VirtualPrinter &printer = usb.addPrinter(config);
                std::fprintf(stderr, "virtual-printers: plugged %s %s into %s\n",
                             printer.identity().brand.c_str(), printer.identity().product.c_str(),
                             printer.sysfsName().c_str());
            }
        } else if (ok) {
            vprinter::VirtualPrinter *printer = usb.find(sysfsNameOf(argument));
            if (!printer) {
                std::fprintf(stderr, "virtual-printers: no printer at %s\n", argument.c_str());
                return false;
            }
            if (verb == "unplug") {
                usb.unplug(*printer);
            } else if ((verb == "deny" || verb == "allow") && !deniedByFault) {
                usb.setAccessible(*printer, verb == "allow");
            } else if (verb == "deny" || verb == "allow" || verb == "busy" || verb == "free") {
                vprinter::Faults faults = printer->faults();
                (verb == "deny" || verb == "allow" ? faults.refuseOpen : faults.refuseClaim) =
                    verb == "deny" || verb == "busy";
                printer->setFaults(faults);
            } else {
                ok = false;
            }
            if (ok)
                std::fprintf(stderr, "virtual-printers: %s %s\n", verb.c_str(),
                             printer->sysfsName().c_str());
        }
    } catch (const std::exception &error) {
        std::fprintf(stderr, "virtual-printers: %s: %s\n", line.c_str(), error.what());
        return false;
    }
    if (!ok)
        std::fprintf(stderr, "virtual-printers: not a command: %s\n", line.c_str());
    return ok;
}

} // namespace launcher
