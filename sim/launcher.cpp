// virtual-printers: runs a command with virtual label printers attached.
//
//   virtual-printers [--printer PID:PORT:PRODUCT]... [--log] -- command [args...]
//
// Owns a umockdev testbed with the printers, starts the command with umockdev's preload library
// so that its libusb sees them, waits for it and exits with its status. With --log it prints what
// each printer received and answered (and the device-side checks) when the command has ended.
#include "virtualusb.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

volatile sig_atomic_t childPid = 0;

void forwardSignal(int signal)
{
    if (childPid > 0)
        kill(childPid, signal);
}

void usage(FILE *out)
{
    std::fprintf(out,
                 "usage: virtual-printers [--printer PID:PORT:PRODUCT]... [--log] -- command "
                 "[args...]\n"
                 "  PID      product ID in hexadecimal (vendor 5C1E), e.g. 0411\n"
                 "  PORT     port number on bus 1 (3 gives sysfs name 1-3) or a sysfs name\n"
                 "           behind hubs such as 1-2.4\n"
                 "  PRODUCT  the iProduct string, e.g. RM-310\n"
                 "Without --printer: Zurod RM-310 (0411) on port 1 and Orbeck VS-608K (1401) on "
                 "port 3.\n"
                 "--log prints every printer's transfers and the device checks at the end.\n");
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

std::string hex(const vprinter::Bytes &bytes, std::size_t limit)
{
    std::string out;
    char digits[4];
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        std::snprintf(digits, sizeof digits, " %02X", bytes[i]);
        out += digits;
    }
    if (bytes.size() > limit)
        out += " ...";
    return out;
}

// One line per download: how it was cut into writes, how it ended, and what arrived.
void printDownload(const vprinter::DownloadRecord &download)
{
    std::size_t whole = 0;
    for (std::size_t length : download.writes)
        whole += length == vprinter::DownloadRecorder::kChunkSize ? 1 : 0;
    const char *end = !download.ended          ? "not ended (stream cut off)"
                      : download.zeroLengthEnd ? "ended by a zero-length write"
                                               : "ended by a short write";
    std::printf("  DOWNLOAD   %zu writes (%zu of 1024 bytes", download.writes.size(), whole);
    if (download.ended && !download.zeroLengthEnd)
        std::printf(", last %zu", download.writes.back());
    std::printf("), %llu bytes, %s", static_cast<unsigned long long>(download.total), end);
    if (download.failedWrites > 0)
        std::printf(", %d failed writes", download.failedWrites);
    std::printf(", sha256 %s\n", download.sha256.c_str());
}

void printLog(vprinter::VirtualUsb &usb)
{
    using Kind = vprinter::TransferRecord::Kind;
    for (vprinter::VirtualPrinter *printer : usb.devices()) {
        const vprinter::Identity id = printer->identity();
        const auto log = printer->transferLog();
        std::printf("%s %s (%04X:%04X) on port %d (%s): %zu transfers\n", id.brand.c_str(),
                    id.product.c_str(), id.vendorId, id.productId, printer->port(),
                    printer->sysfsName().c_str(), log.size());
        // Frames one per line; the writes of a download only in its summary below.
        bool inStream = false;
        for (const vprinter::TransferRecord &record : log) {
            const bool out = record.kind == Kind::BulkOut || record.kind == Kind::FailedBulkOut;
            if (out && (inStream || !vprinter::PrinterModel::parseFrame(record.bytes))) {
                inStream = record.bytes.size() >= vprinter::DownloadRecorder::kChunkSize ||
                           record.kind == Kind::FailedBulkOut;
                continue;
            }
            const char *kind = record.kind == Kind::BulkOut         ? "OUT"
                               : record.kind == Kind::FailedBulkOut ? "OUT failed"
                               : record.kind == Kind::BulkIn        ? "IN"
                                                                    : "STATUS";
            std::printf("  %-10s %4zu:%s\n", kind, record.bytes.size(),
                        hex(record.bytes, 64).c_str());
        }
        for (const vprinter::DownloadRecord &download : printer->downloads())
            printDownload(download);
        const vprinter::DeviceState state = printer->state();
        std::printf("  usblp detached %d times, re-bound %d times\n", state.driverDetaches,
                    state.driverRebinds);
        for (const std::string &violation : printer->violations())
            std::printf("  device check: %s\n", violation.c_str());
    }
    std::fflush(stdout);
}

// The child's environment: ours (which holds the testbed's UMOCKDEV_DIR) with the preload added.
std::vector<std::string> childEnvironment()
{
    std::vector<std::string> env;
    std::string preload = "LD_PRELOAD=libumockdev-preload.so.0";
    std::string asan = "ASAN_OPTIONS=verify_asan_link_order=0";
    for (char **entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (text.rfind("LD_PRELOAD=", 0) == 0 && text.size() > 11)
            preload += ":" + text.substr(11);
        else if (text.rfind("ASAN_OPTIONS=", 0) == 0 && text.size() > 13)
            asan = text + ":verify_asan_link_order=0";
        else
            env.push_back(text);
    }
    env.push_back(preload);
    env.push_back(asan); // a sanitizer build would object to the preload coming first
    return env;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<vprinter::PrinterConfig> printers;
    bool log = false;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg == "-h" || arg == "--help") {
            usage(stdout);
            return 0;
        }
        if (arg == "--log") {
            log = true;
            continue;
        }
        std::string printerOption;
        if (arg == "--printer" && i + 1 < argc)
            printerOption = argv[++i];
        else if (arg.rfind("--printer=", 0) == 0)
            printerOption = arg.substr(10);
        else if (arg[0] != '-')
            break; // the command starts here
        vprinter::PrinterConfig config;
        if (printerOption.empty() || !parsePrinter(printerOption, config)) {
            std::fprintf(stderr, "virtual-printers: bad argument: %s\n", arg.c_str());
            usage(stderr);
            return 2;
        }
        printers.push_back(config);
    }
    if (i >= argc) {
        usage(stderr);
        return 2;
    }
    if (printers.empty()) {
        vprinter::PrinterConfig locked;
        locked.sysfsName = "1-1";
        locked.identity.productId = 0x0411;
        locked.identity.product = "RM-310";
        vprinter::PrinterConfig extended;
        extended.sysfsName = "1-3";
        extended.identity.productId = 0x1401;
        extended.identity.product = "VS-608K";
        extended.identity.serialNumber = "OB60800054321";
        printers = {locked, extended};
    }

    // The testbed's unix socket paths must stay under 108 bytes.
    const char *tmp = std::getenv("TMPDIR");
    if (tmp && std::strlen(tmp) > 60)
        setenv("TMPDIR", "/tmp", 1);

    int status = 0;
    try {
        vprinter::VirtualUsb usb;
        for (const vprinter::PrinterConfig &config : printers) {
            vprinter::VirtualPrinter &printer = usb.addPrinter(config);
            const vprinter::Identity id = printer.identity();
            std::fprintf(stderr, "virtual-printers: %s %s (%04X:%04X) on port %d (%s)\n",
                         id.brand.c_str(), id.product.c_str(), id.vendorId, id.productId,
                         printer.port(), printer.sysfsName().c_str());
        }

        std::vector<std::string> env = childEnvironment();
        std::vector<char *> envp;
        for (std::string &entry : env)
            envp.push_back(entry.data());
        envp.push_back(nullptr);

        struct sigaction forward = {};
        forward.sa_handler = forwardSignal;
        sigaction(SIGTERM, &forward, nullptr);
        sigaction(SIGHUP, &forward, nullptr);
        // A terminal's Ctrl-C reaches the command itself; we wait for it to end.
        signal(SIGINT, SIG_IGN);
        signal(SIGQUIT, SIG_IGN);

        const pid_t pid = fork();
        if (pid < 0) {
            std::perror("virtual-printers: fork");
            return 1;
        }
        if (pid == 0) {
            signal(SIGINT, SIG_DFL);
            signal(SIGQUIT, SIG_DFL);
            execvpe(argv[i], argv + i, envp.data());
            std::fprintf(stderr, "virtual-printers: cannot run %s: %s\n", argv[i],
                         std::strerror(errno));
            _exit(127);
        }
        childPid = pid;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        childPid = 0;
        if (log)
            printLog(usb);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "virtual-printers: %s\n", error.what());
        return 1;
    }
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}
