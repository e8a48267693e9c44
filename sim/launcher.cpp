// virtual-printers: runs a command with virtual label printers attached.
//
//   virtual-printers [--latency MS] [--printer PID:PORT:PRODUCT]... [--log] [--commands]
//                    [--at MS COMMAND]... [--user USER] -- command [args...]
//
// Owns a umockdev testbed with the printers, starts the command with umockdev's preload library
// so that its libusb sees them, waits for it and exits with its status. While the command runs,
// printers are plugged in and pulled out, denied and held by commands read from standard input
// (--commands) or given a time (--at). With --user the command runs as that user, who owns the
// device nodes as the udev rule would make them. With --log it prints what each printer received
// and answered (and the device-side checks) when the command has ended. --latency gives the
// printers after it an answer delay, so that the command meets what real printers cost.
//
// The launcher runs itself under the preload too: only then do its plugs reach the command as
// hot-plug events.
#include "launchercommands.h"
#include "virtualusb.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <optional>
#include <poll.h>
#include <pwd.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

constexpr const char *kPreload = "libumockdev-preload.so.0";

volatile sig_atomic_t childPid = 0;
int childExited[2] = {-1, -1};  // written to when the child ends
int pullRequests[2] = {-1, -1}; // the sysfs names of printers to pull out, a line each

void forwardSignal(int signal)
{
    if (childPid > 0)
        kill(childPid, signal);
}

void onChildExit(int)
{
    const int saved = errno;
    const char byte = 0;
    if (write(childExited[1], &byte, 1) < 0) {
    }
    errno = saved;
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
                 "--latency MS  the printers given after it (and those plugged later) take MS\n"
                 "           milliseconds to answer each exchange, as real printers do; without\n"
                 "           --printer it applies to the two default printers\n"
                 "--log prints every printer's transfers and the device checks at the end.\n"
                 "--commands reads commands from standard input while the command runs (its own\n"
                 "           standard input is then /dev/null); --at MS COMMAND runs one MS\n"
                 "           milliseconds after the start (--at 0: before it). Commands:\n"
                 "  plug PID:PORT:PRODUCT [denied|busy|unplug-after N]\n"
                 "                          plug a printer in (PORT free or pulled out before),\n"
                 "                          optionally denied or held from the start, or to be\n"
                 "                          pulled out while the transfer after its next N bulk\n"
                 "                          writes is in flight\n"
                 "  unplug PORT             pull it out\n"
                 "  deny PORT / allow PORT  its node may not / may be opened by the user (--user;\n"
                 "                          without it by nobody at all)\n"
                 "  busy PORT / free PORT   another program holds / releases its interface\n"
                 "  latency PORT MS         its answer delay from now on\n"
                 "  status PORT WORD        its status word (hexadecimal with 0x, e.g. 0x82:\n"
                 "                          paper out and cover open; 0: idle)\n"
                 "  restart PORT MS|never [factory] [status WORD] [version TEXT]\n"
                 "                          after each download it reports \"upgrading\", leaves\n"
                 "                          the bus and comes back MS milliseconds later (never:\n"
                 "                          stays away), with the factory settings, the status\n"
                 "                          word WORD and the version TEXT if given (TEXT may\n"
                 "                          hold blanks; it comes last)\n"
                 "  wait MS                 (standard input) the next command MS later\n"
                 "--user USER runs the command as USER (name or uid), who owns the device nodes\n"
                 "           as the udev rule gives them to the user at the seat.\n");
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

// The printers whose unplugAfterWrites fault fell due: pulled out here, with the hot-plug event.
void pullOutRequested(vprinter::VirtualUsb &usb)
{
    static std::string pending;
    char buffer[256];
    for (ssize_t n; (n = read(pullRequests[0], buffer, sizeof buffer)) > 0;)
        pending.append(buffer, std::size_t(n));
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
        const std::string name = pending.substr(0, end);
        pending.erase(0, end + 1);
        if (vprinter::VirtualPrinter *printer = usb.find(name)) {
            usb.unplug(*printer);
            std::fprintf(stderr, "virtual-printers: pulled %s out after its writes\n",
                         name.c_str());
        }
    }
}

using Clock = std::chrono::steady_clock;

struct Scheduled {
    Clock::time_point due;
    int order = 0;
    std::string command;
};

// Commands in the order they are due; those due at the same time in the order given.
class Schedule
{
public:
    void add(Clock::time_point due, const std::string &command)
    {
        scheduled_.push_back({due, next_++, command});
        std::sort(scheduled_.begin(), scheduled_.end(), [](const auto &a, const auto &b) {
            return a.due != b.due ? a.due < b.due : a.order < b.order;
        });
    }
    // A line of standard input: "wait MS" moves the time of the lines after it.
    void addLine(const std::string &line)
    {
        const auto now = Clock::now();
        cursor_ = std::max(cursor_, now);
        std::istringstream words(line);
        std::string verb;
        long ms = 0;
        if (words >> verb && verb == "wait" && words >> ms)
            cursor_ += std::chrono::milliseconds(ms);
        else
            add(cursor_, line);
    }
    // Milliseconds until the next command is due (-1: none waiting).
    int timeout() const
    {
        if (scheduled_.empty())
            return -1;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            scheduled_.front().due - Clock::now());
        return int(std::max<long long>(0, left.count()));
    }
    std::vector<std::string> takeDue()
    {
        std::vector<std::string> due;
        const auto now = Clock::now();
        while (!scheduled_.empty() && scheduled_.front().due <= now) {
            due.push_back(scheduled_.front().command);
            scheduled_.erase(scheduled_.begin());
        }
        return due;
    }

private:
    std::vector<Scheduled> scheduled_;
    Clock::time_point cursor_;
    int next_ = 0;
};

// Waits for the child, running the commands as they come and fall due.
int superviseChild(vprinter::VirtualUsb &usb, pid_t pid, bool readCommands, Schedule &schedule,
                   bool deniedByFault, std::chrono::milliseconds latency)
{
    std::string input;
    bool stdinOpen = readCommands;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return status;
        if (done < 0 && errno != EINTR)
            return status;
        pollfd fds[3] = {
            {childExited[0], POLLIN, 0}, {pullRequests[0], POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        const int ready = poll(fds, stdinOpen ? 3 : 2, schedule.timeout());
        if (ready < 0 && errno != EINTR)
            return status;
        if (fds[0].revents & POLLIN) {
            char drain[16];
            while (read(childExited[0], drain, sizeof drain) > 0) {
            }
        }
        if (fds[1].revents & POLLIN)
            pullOutRequested(usb);
        if (stdinOpen && (fds[2].revents & (POLLIN | POLLHUP))) {
            char buffer[512];
            const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0)
                stdinOpen = false;
            else
                input.append(buffer, std::size_t(n));
            for (std::size_t end; (end = input.find('\n')) != std::string::npos;) {
                schedule.addLine(input.substr(0, end));
                input.erase(0, end + 1);
            }
        }
        for (const std::string &command : schedule.takeDue())
            launcher::runCommand(usb, command, deniedByFault, latency);
    }
}

bool hasPreload()
{
    const char *preload = std::getenv("LD_PRELOAD");
    return preload && std::strstr(preload, kPreload);
}

// The child's environment: ours (which holds the testbed's UMOCKDEV_DIR) with the preload added.
std::vector<std::string> childEnvironment()
{
    std::vector<std::string> env;
    std::string preload = std::string("LD_PRELOAD=") + kPreload;
    std::string asan = "ASAN_OPTIONS=verify_asan_link_order=0";
    for (char **entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (text.rfind("LD_PRELOAD=", 0) == 0 && text.size() > 11)
            preload =
                text.find(kPreload) == std::string::npos ? preload + ":" + text.substr(11) : text;
        else if (text.rfind("ASAN_OPTIONS=", 0) == 0 && text.size() > 13)
            asan = text + ":verify_asan_link_order=0";
        else
            env.push_back(text);
    }
    env.push_back(preload);
    env.push_back(asan); // a sanitizer build would object to the preload coming first
    return env;
}

// Parses --user: a user name or a numeric uid; its group from the password database.
bool parseUser(const std::string &text, uid_t &uid, gid_t &gid)
{
    if (const passwd *entry = getpwnam(text.c_str())) {
        uid = entry->pw_uid;
        gid = entry->pw_gid;
        return true;
    }
    char *end = nullptr;
    const unsigned long number = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0')
        return false;
    uid = uid_t(number);
    const passwd *entry = getpwuid(uid);
    gid = entry ? entry->pw_gid : gid_t(number);
    return true;
}

// Runs this program again with the preload, so that the testbed's uevents reach the child.
void reexecWithPreload(char **argv)
{
    const char *preload = std::getenv("LD_PRELOAD");
    const std::string value =
        preload && *preload ? std::string(kPreload) + ":" + preload : std::string(kPreload);
    setenv("LD_PRELOAD", value.c_str(), 1);
    const char *asan = std::getenv("ASAN_OPTIONS");
    const std::string asanValue = asan && *asan ? std::string(asan) + ":verify_asan_link_order=0"
                                                : "verify_asan_link_order=0";
    setenv("ASAN_OPTIONS", asanValue.c_str(), 1);
    execv("/proc/self/exe", argv);
    std::fprintf(stderr, "virtual-printers: cannot run myself with the preload: %s\n",
                 std::strerror(errno));
}

} // namespace

int main(int argc, char **argv)
{
    if (!hasPreload())
        reexecWithPreload(argv); // returns only on failure: plugs then reach nobody
    std::vector<vprinter::PrinterConfig> printers;
    bool log = false;
    bool readCommands = false;
    std::vector<std::pair<long, std::string>> timed;
    std::optional<std::pair<uid_t, gid_t>> user;
    std::chrono::milliseconds latency{0};
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
        if (arg == "--commands") {
            readCommands = true;
            continue;
        }
        if (arg == "--at" && i + 2 < argc) {
            char *end = nullptr;
            const long ms = std::strtol(argv[i + 1], &end, 10);
            if (*argv[i + 1] == '\0' || *end != '\0' || ms < 0) {
                std::fprintf(stderr, "virtual-printers: bad time: %s\n", argv[i + 1]);
                return 2;
            }
            timed.emplace_back(ms, argv[i + 2]);
            i += 2;
            continue;
        }
        if (arg == "--latency" && i + 1 < argc) {
            long ms = 0;
            if (!launcher::parseMilliseconds(argv[++i], ms)) {
                std::fprintf(stderr, "virtual-printers: bad latency: %s\n", argv[i]);
                return 2;
            }
            latency = std::chrono::milliseconds(ms);
            continue;
        }
        if (arg == "--user" && i + 1 < argc) {
            uid_t uid = 0;
            gid_t gid = 0;
            if (!parseUser(argv[++i], uid, gid)) {
                std::fprintf(stderr, "virtual-printers: no such user: %s\n", argv[i]);
                return 2;
            }
            user = std::make_pair(uid, gid);
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
        if (printerOption.empty() || !launcher::parsePrinter(printerOption, config)) {
            std::fprintf(stderr, "virtual-printers: bad argument: %s\n", arg.c_str());
            usage(stderr);
            return 2;
        }
        config.latency = latency;
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
        locked.latency = extended.latency = latency;
        printers = {locked, extended};
    }

    // The testbed's unix socket paths must stay under 108 bytes.
    const char *tmp = std::getenv("TMPDIR");
    if (tmp && std::strlen(tmp) > 60)
        setenv("TMPDIR", "/tmp", 1);

    int status = 0;
    try {
        vprinter::VirtualUsb usb;
        // The user the command runs as owns the nodes, as at the seat; deny then means
        // permissions. Without a user, deny is a node nobody may open.
        if (user)
            usb.setNodeOwner(user->first, user->second);
        for (const vprinter::PrinterConfig &config : printers) {
            vprinter::VirtualPrinter &printer = usb.addPrinter(config);
            const vprinter::Identity id = printer.identity();
            std::fprintf(
                stderr, "virtual-printers: %s %s (%04X:%04X) on port %d (%s)%s\n", id.brand.c_str(),
                id.product.c_str(), id.vendorId, id.productId, printer.port(),
                printer.sysfsName().c_str(),
                config.latency.count() > 0
                    ? (", answering in " + std::to_string(config.latency.count()) + " ms").c_str()
                    : "");
        }

        std::vector<std::string> env = childEnvironment();
        std::vector<char *> envp;
        for (std::string &entry : env)
            envp.push_back(entry.data());
        envp.push_back(nullptr);

        if (pipe2(childExited, O_CLOEXEC | O_NONBLOCK) != 0 ||
            pipe2(pullRequests, O_CLOEXEC | O_NONBLOCK) != 0) {
            std::perror("virtual-printers: pipe");
            return 1;
        }
        // A name and a newline are one write, far below PIPE_BUF: never torn.
        usb.setPullHandler([](const std::string &name) {
            const std::string line = name + '\n';
            if (write(pullRequests[1], line.data(), line.size()) < 0) {
            }
        });
        struct sigaction forward = {};
        forward.sa_handler = forwardSignal;
        sigaction(SIGTERM, &forward, nullptr);
        sigaction(SIGHUP, &forward, nullptr);
        struct sigaction exited = {};
        exited.sa_handler = onChildExit;
        exited.sa_flags = SA_NOCLDSTOP;
        sigaction(SIGCHLD, &exited, nullptr);
        // A terminal's Ctrl-C reaches the command itself; we wait for it to end.
        signal(SIGINT, SIG_IGN);
        signal(SIGQUIT, SIG_IGN);

        Schedule schedule;
        const auto start = Clock::now();
        for (const auto &[ms, command] : timed)
            schedule.add(start + std::chrono::milliseconds(ms), command);
        // What is due at once is done before the command starts.
        for (const std::string &command : schedule.takeDue())
            launcher::runCommand(usb, command, !user, latency);
        const pid_t pid = fork();
        if (pid < 0) {
            std::perror("virtual-printers: fork");
            return 1;
        }
        if (pid == 0) {
            signal(SIGINT, SIG_DFL);
            signal(SIGQUIT, SIG_DFL);
            signal(SIGCHLD, SIG_DFL);
            if (readCommands) { // the commands are ours
                const int null = open("/dev/null", O_RDONLY);
                if (null < 0 || dup2(null, STDIN_FILENO) < 0)
                    _exit(127);
            }
            if (user && (setgroups(0, nullptr) != 0 || setgid(user->second) != 0 ||
                         setuid(user->first) != 0)) {
                std::fprintf(stderr, "virtual-printers: cannot become user %u: %s\n",
                             unsigned(user->first), std::strerror(errno));
                _exit(127);
            }
            execvpe(argv[i], argv + i, envp.data());
            std::fprintf(stderr, "virtual-printers: cannot run %s: %s\n", argv[i],
                         std::strerror(errno));
            _exit(127);
        }
        childPid = pid;
        status = superviseChild(usb, pid, readCommands, schedule, !user, latency);
        childPid = 0;
        if (log)
            printLog(usb);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "virtual-printers: %s\n", error.what());
        return 1;
    }
    // A printer restarting after a download may still be held by its timer or by the emulation's
    // worker thread: running the libraries' exit handlers (OpenSSL's among them) under them frees
    // what they still use. The launcher's work is done, so it leaves at once.
    std::fflush(nullptr);
    _exit(WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status));
}
