// Reading a settings page through the window's own read operation (its queries, decoding and
// widget updates) against the virtual printer, next to a bare libusb loop doing the same number
// of open/claim/write/read/release/close cycles on the same printer, in the same run. Both run
// with the kernel's printer driver moved aside, as a click keeps it from its first exchange to
// its end; the hand-over columns count a whole click of each, the reference's moving the driver
// aside at its first exchange and back at its end, as the transport does.
//   bench_pages [reads]
#include "window/app/mainwindow.h"
#include "bench/support/benchcommon.h"
#include "sim/virtualusb.h"
#include "core/usb/deviceioopera.h"

#include <QApplication>
#include <QComboBox>
#include <QLoggingCategory>
#include <functional>

namespace {

struct Page {
    const char *name;
    std::vector<SetInfoType> codes;
    std::function<int(MainWindow &, PrinterHandle *)> read;
};

} // namespace

int main(int argc, char **argv)
{
    const int reads = argc > 1 ? std::atoi(argv[1]) : 200;
    bench::pinToOneCpu();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("labelsetup.*=false"));

    vprinter::VirtualUsb usb;
    vprinter::VirtualPrinter &virtualPrinter = usb.addPrinter(0x1401, "VS-608K", 1);
    PrinterHandle printer;
    if (CDeviceIOOpera::GetPrinterHandle(1, &printer) != 0) {
        std::fprintf(stderr, "no virtual printer\n");
        return 1;
    }
    MainWindow window;
    // The extended model's print method makes the print-settings read eleven queries.
    window.findChild<QComboBox *>("comboBox_9")->setEnabled(true);

    // The virtual printer starts in station mode, so the Wi-Fi read asks the station network.
    const Page pages[] = {
        {"print settings", printsettings::readOrder(true),
         [](MainWindow &w, PrinterHandle *h) { return w.Print_Init(h); }},
        {"distances",
         {INFO_DISTANCE_EXIT_TO_HEAD, INFO_DISTANCE_GAP_TO_HEAD, INFO_DISTANCE_BLACK_MARK_TO_HEAD,
          INFO_DISTANCE_HEAD_TO_TEAR},
         [](MainWindow &w, PrinterHandle *h) { return w.Distance_Init(h); }},
        {"serial port", serialport::readOrder(),
         [](MainWindow &w, PrinterHandle *h) { return w.USB_Init(h); }},
        {"wifi",
         {INFO_WIFI_MODE, INFO_WIFI_STATION, INFO_WIFI_TCP_PORT, INFO_MAC_ADDRESSES},
         [](MainWindow &w, PrinterHandle *h) { return w.Wifi_Init(h); }},
        {"bluetooth", bluetooth::order(),
         [](MainWindow &w, PrinterHandle *h) { return w.Blueteeth_Init(h); }},
        {"wifi ip", {INFO_WIFI_IP}, [](MainWindow &w, PrinterHandle *h) { return w.IP_Init(h); }},
        {"ethernet", ethernet::readOrder(),
         [](MainWindow &w, PrinterHandle *h) { return w.Net_Init(h); }},
    };

    // Driver hand-overs (usblp detached plus re-bound) of one click: each moves it aside once and
    // back once.
    const auto handOvers = [&](const std::function<bool()> &click) {
        const int before = virtualPrinter.state().driverHandOvers();
        if (!click())
            std::exit(1);
        return virtualPrinter.state().driverHandOvers() - before;
    };

    std::printf("%-16s %9s %14s %14s %7s %14s %14s\n", "page", "exchanges", "bare median us",
                "page median us", "ratio", "bare handovers", "click handovers");
    for (const Page &page : pages) {
        const auto bare = [&] {
            for (SetInfoType code : page.codes) {
                if (!bench::bareQueryCycle(printer.pHandle, (unsigned char)code,
                                           bench::Driver::AlreadyAside))
                    return false;
            }
            return true;
        };
        const auto ours = [&] { return page.read(window, &printer) == 0; };
        // The first read moves the driver aside; every timed read of either finds it aside.
        if (!ours())
            return 1;
        // Alternate the two in rounds so that drift hits both alike.
        bench::Figures bareTotal, oursTotal;
        const int rounds = 5;
        for (int round = 0; round < rounds; ++round) {
            bareTotal.median += bench::measure(reads / rounds, bare).median / rounds;
            oursTotal.median += bench::measure(reads / rounds, ours).median / rounds;
        }
        // Counted with the driver given back by the timing handle, as it is when a click starts
        // (finding the printer again moves nothing).
        CDeviceIOOpera::ClosePrinterHandle(&printer);
        if (CDeviceIOOpera::GetPrinterHandle(1, &printer) != 0)
            return 1;
        const int bareHandOvers = handOvers([&] {
            return bench::bareClick(printer.pHandle, int(page.codes.size()),
                                    [&](int i, bench::Driver driver) {
                                        return bench::bareQueryCycle(
                                            printer.pHandle, (unsigned char)page.codes[i], driver);
                                    });
        });
        const int clickHandOvers = handOvers([&] {
            PrinterHandle click;
            if (CDeviceIOOpera::GetPrinterHandle(1, &click) != 0)
                return false;
            const int r = page.read(window, &click);
            CDeviceIOOpera::ClosePrinterHandle(&click);
            return r == 0;
        });
        std::printf("%-16s %9zu %14.1f %14.1f %7.3f %14d %14d\n", page.name, page.codes.size(),
                    bareTotal.median, oursTotal.median, oursTotal.median / bareTotal.median,
                    bareHandOvers, clickHandOvers);
    }
    std::printf("goals: ratio <= 1.2; 2 hand-overs per click\n");
    CDeviceIOOpera::ClosePrinterHandle(&printer);
    return 0;
}
