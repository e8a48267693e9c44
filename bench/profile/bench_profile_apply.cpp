// Applying a profile with verification, through the tool and through a bare libusb reference that
// puts the same frames on the wire, in the same run, pinned to one CPU.
//
// One printer: the tool opens the printer by identity, reads every page of the profile and merges
// it (profile::mergeWithPrinter), writes every page and reads each back (profile::applyMerged with
// verification), and closes. Before every run each printer is given another speed than the
// profile's: a printer that holds the profile already is left as it is. The reference opens a
// libusb context, takes the device at the same bus and ports, and runs the same query and write
// cycles with everything known in advance: the frames the tool's merged pages send and the queries
// of the pages' reads, taken from the tool before the timing. Like the transport, it moves the
// kernel's printer driver aside in a printer's first exchange and gives it back after the last.
// Many printers: `restore --all FILE` run in-process over several printers against the reference
// doing each printer's exchanges (the listing's product string, the merge, the writes and
// read-backs).
//
// After every cycle of either side each printer's received frames are compared with the plan,
// and its driver hand-overs counted: a side that sent other frames, or another number of them,
// or moved the driver other than once aside and once back, ends the program, as does any failed
// cycle, so no figure hides a failure.
//   bench_profile_apply [cycles]
#include "bench/support/benchcommon.h"
#include "cli/cli.h"
#include "core/printers/modelgate.h"
#include "core/printers/printerlist.h"
#include "core/profiles/apply.h"
#include "core/profiles/profile.h"
#include "core/protocol/frame.h"
#include "core/protocol/printerqueries.h"
#include "core/settings/bluetooth.h"
#include "core/settings/distances.h"
#include "core/settings/ethernet.h"
#include "core/settings/printsettings.h"
#include "core/settings/serialport.h"
#include "core/settings/settingspage.h"
#include "core/settings/wifi.h"
#include "core/settings/wifiip.h"
#include "sim/virtualusb.h"
#include "core/usb/deviceioopera.h"

#include <libusb.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTextStream>
#include <string>

namespace {

using Bytes = std::vector<unsigned char>;

[[noreturn]] void die(const std::string &why)
{
    std::fprintf(stderr, "%s\n", why.c_str());
    std::exit(1);
}

Bytes bytesOf(const QByteArray &data) { return Bytes(data.begin(), data.end()); }

// One exchange of a printer: a query (written, then its reply read) or a write alone.
struct Exchange {
    Bytes frame;
    bool query = false;
};

// A printer as the reference knows it in advance: where it is and what to send it.
struct Target {
    vprinter::VirtualPrinter *virtualPrinter = nullptr;
    PrinterIdentity identity;
    std::vector<Exchange> plan;
};

// The queries a page's read asks, in their order; the Wi-Fi network asked depends on the mode.
std::vector<SetInfoType> readQueries(const QString &page, bool extended, const wifi::Values &wifi)
{
    if (page == QLatin1String("print"))
        return printsettings::readOrder(extended);
    if (page == QLatin1String("distance")) {
        std::vector<SetInfoType> codes;
        for (distances::Distance d : distances::order())
            codes.push_back(distances::code(d));
        return codes;
    }
    if (page == QLatin1String("serial"))
        return serialport::readOrder();
    if (page == QLatin1String("wifi")) {
        std::vector<SetInfoType> codes = {wifi::kModeQuery, wifi::networkQuery(wifi)};
        for (SetInfoType code : wifi::closingQueries())
            codes.push_back(code);
        return codes;
    }
    if (page == QLatin1String("bluetooth"))
        return bluetooth::order();
    if (page == QLatin1String("wifi-ip"))
        return {wifiip::kCode};
    if (page == QLatin1String("ethernet"))
        return ethernet::readOrder();
    die("no read order known for page " + page.toStdString());
}

void addQueries(std::vector<Exchange> &plan, const std::vector<SetInfoType> &codes)
{
    for (SetInfoType code : codes)
        plan.push_back({bytesOf(*frame::build(frame::FrameClass::Get, uint8_t(code))), true});
}

// What the tool sends one printer for the profile, asked of the tool itself before the timing:
// every page read (the merge; restore --all takes the serial number from it), then each merged
// page's frames followed by its read-back.
std::vector<Exchange> planFor(const PrinterIdentity &identity, const QJsonObject &profilePages,
                              const ModelKey &modelKey)
{
    PrinterHandle handle;
    if (CDeviceIOOpera::GetPrinterHandle(identity, &handle) != 0)
        die("cannot open " + identity.path().toStdString());
    unsigned char reply[frame::kResultBufferSize];
    wifi::Values wifi;
    if (GetPrinterInfo(&handle, wifi::kModeQuery, reply) != 0)
        die("the Wi-Fi mode could not be read");
    wifi::decode(wifi::kModeQuery, reply, wifi);
    const profile::Merged merged = profile::mergeWithPrinter(&handle, profilePages, modelKey);
    CDeviceIOOpera::ClosePrinterHandle(&handle);
    if (!merged.ready())
        die("the profile does not merge with " + identity.path().toStdString());

    const bool extended = modelgate::offerOf(modelKey).printMethod;
    std::vector<Exchange> plan;
    for (const auto &page : merged.merged)
        addQueries(plan, readQueries(page->name(), extended, wifi));
    for (const auto &page : merged.merged) {
        for (const QByteArray &f : pages::framesOf(*page))
            plan.push_back({bytesOf(f), false});
        addQueries(plan, readQueries(page->name(), extended, wifi));
    }
    return plan;
}

bool atIdentity(libusb_device *device, const PrinterIdentity &identity)
{
    uint8_t ports[8];
    const int depth = libusb_get_port_numbers(device, ports, sizeof ports);
    return libusb_get_bus_number(device) == identity.bus && depth == identity.ports.size() &&
           std::equal(ports, ports + depth, identity.ports.begin());
}

// The reference: one context, each printer taken at its known place, with `listing` its product
// string read as a listing reads it, then its planned cycles.
bool bareApply(std::vector<Target> &targets, bool listing)
{
    libusb_context *context = nullptr;
    if (libusb_init(&context) != 0)
        return false;
    libusb_device **devices = nullptr;
    const ssize_t count = libusb_get_device_list(context, &devices);
    std::vector<libusb_device *> found;
    for (const Target &target : targets) {
        for (ssize_t i = 0; i < count; ++i) {
            if (atIdentity(devices[i], target.identity)) {
                found.push_back(libusb_ref_device(devices[i]));
                break;
            }
        }
    }
    if (devices)
        libusb_free_device_list(devices, 1);
    bool ok = found.size() == targets.size();
    if (ok && listing) {
        for (libusb_device *device : found) {
            libusb_device_descriptor descriptor;
            libusb_device_handle *handle = nullptr;
            unsigned char text[256];
            ok = ok && libusb_get_device_descriptor(device, &descriptor) == 0 &&
                 libusb_open(device, &handle) == 0;
            if (handle) {
                ok = libusb_get_string_descriptor_ascii(handle, descriptor.iProduct, text,
                                                        sizeof text) > 0 &&
                     ok;
                libusb_close(handle);
            }
        }
    }
    // The driver moved aside by a printer's first exchange and given back after its last, as
    // the transport does for one click.
    for (std::size_t t = 0; ok && t < targets.size(); ++t) {
        bench::Driver driver = bench::Driver::MovedAsideHere;
        for (Exchange &e : targets[t].plan) {
            const int length = int(e.frame.size());
            ok = e.query ? bench::bareQueryCycle(found[t], e.frame.data(), length, driver)
                         : bench::bareWriteCycle(found[t], e.frame.data(), length, driver);
            driver = bench::Driver::AlreadyAside;
            if (!ok)
                break;
        }
        ok = bench::bareGiveDriverBack(found[t]) && ok;
    }
    for (libusb_device *device : found)
        libusb_unref_device(device);
    libusb_exit(context);
    return ok;
}

// The tool's path for one printer: open by identity, merge, apply with verification, close.
bool toolApply(const PrinterIdentity &identity, const QJsonObject &profilePages,
               const ModelKey &modelKey)
{
    PrinterHandle handle;
    if (CDeviceIOOpera::GetPrinterHandle(identity, &handle) != 0)
        return false;
    const profile::Merged merged = profile::mergeWithPrinter(&handle, profilePages, modelKey);
    profile::ApplyOptions options;
    options.pages = profile::ApplyOptions::Pages::All;
    const profile::PrinterResult result =
        profile::applyMerged(&handle, merged, {identity.path(), QString(), modelKey}, options);
    CDeviceIOOpera::ClosePrinterHandle(&handle);
    return result.outcome() == profile::Outcome::Verified &&
           result.pagesWritten() == int(merged.merged.size());
}

bool restoreAll(const QString &file, int printers)
{
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const int exit =
        cli::run({QStringLiteral("restore"), QStringLiteral("--all"), file}, outStream, errStream);
    outStream.flush();
    errStream.flush();
    if (exit != cli::Ok || out.count(QLatin1Char('\n')) != printers) {
        std::fprintf(stderr, "restore --all: exit %d\n%s%s", exit, qPrintable(out),
                     qPrintable(err));
        return false;
    }
    return true;
}

// Every printer received exactly its plan, and its driver was moved aside once and given back
// once; what differs otherwise.
bool receivedThePlan(const std::vector<Target> &targets, const std::vector<int> &handOversBefore,
                     const char *side, int cycle)
{
    bool same = true;
    for (std::size_t t = 0; t < targets.size(); ++t) {
        const Target &target = targets[t];
        const int handOvers = target.virtualPrinter->state().driverHandOvers() - handOversBefore[t];
        if (handOvers != 2) {
            std::fprintf(stderr, "%s, cycle %d: %s: %d driver hand-overs, not 2\n", side, cycle,
                         target.identity.path().toLocal8Bit().constData(), handOvers);
            same = false;
        }
        const std::vector<vprinter::Bytes> received = target.virtualPrinter->bulkOutLog();
        std::size_t matching = 0;
        while (matching < received.size() && matching < target.plan.size() &&
               received[matching] == target.plan[matching].frame)
            ++matching;
        if (received.size() != target.plan.size() || matching != received.size()) {
            std::fprintf(stderr,
                         "%s, cycle %d: %s received %zu frames, %zu planned, the first %zu as "
                         "planned\n",
                         side, cycle, target.identity.path().toLocal8Bit().constData(),
                         received.size(), target.plan.size(), matching);
            same = false;
        }
    }
    return same;
}

struct Comparison {
    bench::Figures reference;
    bench::Figures tool;
    double pairedRatio = 0; // the median of each cycle's tool time over its reference time
    std::size_t framesPerRun = 0;
};

// Alternates the two sides, the reference first in even cycles, the tool first in odd ones. Each
// run starts with empty frame logs and is checked against the plan after its time is taken.
template <typename Reference, typename Tool>
Comparison compare(int cycles, std::vector<Target> &targets, Reference reference, Tool tool)
{
    std::vector<double> referenceTimes, toolTimes;
    const auto run = [&](const char *side, int cycle, auto &&body, std::vector<double> &times) {
        std::vector<int> handOvers;
        for (Target &target : targets) {
            // Another speed than the profile's: the printer differs, so every page is written.
            target.virtualPrinter->setSetting(0x00, {0x05});
            target.virtualPrinter->clearLogs();
            handOvers.push_back(target.virtualPrinter->state().driverHandOvers());
        }
        const auto start = bench::Clock::now();
        const bool ok = body();
        times.push_back(bench::microseconds(bench::Clock::now() - start) / 1000);
        if (!ok)
            die(std::string(side) + ", cycle " + std::to_string(cycle) + " failed");
        if (!receivedThePlan(targets, handOvers, side, cycle))
            std::exit(1);
    };
    for (int i = 0; i < cycles; ++i) {
        if (i % 2 == 0) {
            run("reference", i, reference, referenceTimes);
            run("tool", i, tool, toolTimes);
        } else {
            run("tool", i, tool, toolTimes);
            run("reference", i, reference, referenceTimes);
        }
    }
    // Paired within a cycle, a burst of load from elsewhere on the machine hits both sides.
    std::vector<double> ratios;
    for (std::size_t i = 0; i < toolTimes.size(); ++i)
        ratios.push_back(toolTimes[i] / referenceTimes[i]);
    Comparison c{bench::summarise(referenceTimes), bench::summarise(toolTimes),
                 bench::summarise(ratios).median, 0};
    for (const Target &target : targets)
        c.framesPerRun += target.plan.size();
    return c;
}

void printRow(const char *what, const Comparison &c)
{
    std::printf("%-28s %7zu %11.1f %11.1f %11.1f %11.1f %7.3f %7.3f\n", what, c.framesPerRun,
                c.reference.median, c.reference.mean, c.tool.median, c.tool.mean,
                c.tool.median / c.reference.median, c.pairedRatio);
}

constexpr uint16_t kProductId = 0x1401;
constexpr const char *kProduct = "VS-608K";
constexpr int kFleet = 4;

} // namespace

int main(int argc, char **argv)
{
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 20;
    if (cycles < 1)
        die("usage: bench_profile_apply [cycles]");
    bench::pinToOneCpu();
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("labelsetup.*=false"));

    vprinter::VirtualUsb usb;
    std::vector<Target> fleet;
    for (int port = 1; port <= kFleet; ++port)
        fleet.push_back({&usb.addPrinter(kProductId, kProduct, port), {}, {}});
    const QList<ListedPrinter> listed = listSupportedPrinters();
    if (listed.size() != kFleet)
        die("the virtual printers are not listed");
    for (Target &target : fleet) {
        for (const ListedPrinter &p : listed) {
            if (p.port == target.virtualPrinter->port())
                target.identity = p.identity;
        }
    }
    const ModelKey modelKey = listed.first().modelKey();

    // A full profile: every page of the model, made by the tool's backup of the first printer.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("fleet.json"));
    {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        if (cli::run(
                {QStringLiteral("--port"), QStringLiteral("1"), QStringLiteral("backup"), file},
                outStream, errStream) != cli::Ok)
            die("backup failed");
    }
    QByteArray bytes;
    profile::Parsed parsed;
    if (profile::read(file, bytes) != profile::Read::Ok || profile::parse(bytes, parsed))
        die("the backup cannot be read back");
    if (parsed.pages.size() != int(pages::pagesForModel(modelKey).size()))
        die("the backup does not hold every page of the model");
    // Once untimed: afterwards every printer holds the profile, so each run sends the same.
    if (!restoreAll(file, kFleet))
        return 1;

    // One printer.
    std::vector<Target> one = {fleet.front()};
    one.front().plan = planFor(one.front().identity, parsed.pages, modelKey);
    const PrinterIdentity identity = one.front().identity;
    const Comparison single = compare(
        cycles, one, [&] { return bareApply(one, false); },
        [&] { return toolApply(identity, parsed.pages, modelKey); });

    // Every printer of the model: restore --all in-process.
    for (Target &target : fleet)
        target.plan = planFor(target.identity, parsed.pages, modelKey);
    const int runs = std::max(3, cycles / 2);
    const Comparison all = compare(
        runs, fleet, [&] { return bareApply(fleet, true); },
        [&] { return restoreAll(file, kFleet); });

    const std::vector<std::string> violations = usb.violations();
    for (const std::string &v : violations)
        std::fprintf(stderr, "violation: %s\n", v.c_str());
    if (!violations.empty())
        return 1;

    std::printf("%s, %d pages in the profile; %d cycles alternated, %d for restore --all\n",
                qPrintable(modelKey.name()), int(parsed.pages.size()), cycles, runs);
    std::printf("%-28s %7s %11s %11s %11s %11s %7s %7s\n", "per run", "frames", "bare med ms",
                "bare mean", "tool med ms", "tool mean", "ratio", "paired");
    printRow("apply + verify, 1 printer", single);
    const std::string label = "restore --all, " + std::to_string(kFleet) + " printers";
    printRow(label.c_str(), all);
    std::printf("ratio: tool median over bare median; paired: median of the cycles' own "
                "ratios\ngoal: ratio <= 1.2\n");
    return 0;
}
