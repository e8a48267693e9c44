#include "pages/pagereads.h"

#include "pages/pageexchange.h"

namespace pages {

namespace {

// Decodes every successful reply of `codes` into `values` with the page's decode function.
template <typename Values, typename Decode>
int read(PrinterHandle *handle, const std::vector<SetInfoType> &codes, Values &values,
         Decode decode)
{
    return runQueries(handle, codes, [&](SetInfoType code, const unsigned char *payload) {
        decode(code, payload, values);
    });
}

} // namespace

int readPrintSettings(PrinterHandle *handle, printsettings::Values &values)
{
    return read(handle, printsettings::readOrder(values.printMethodEnabled), values,
                printsettings::decode);
}

int readDistances(PrinterHandle *handle, distances::Values &values)
{
    std::vector<SetInfoType> codes;
    for (distances::Distance d : distances::order())
        codes.push_back(distances::code(d));
    return read(handle, codes, values, distances::decode);
}

int readSerialPort(PrinterHandle *handle, serialport::Values &values)
{
    values.serialNumber.reset();
    return read(handle, serialport::readOrder(), values, serialport::decode);
}

int readWifi(PrinterHandle *handle, wifi::Values &values)
{
    // Which network to ask depends on the mode; without the mode neither is asked.
    int r = read(handle, {wifi::kModeQuery}, values, wifi::decode);
    if (r == 0)
        r = read(handle, {wifi::networkQuery(values)}, values, wifi::decode);
    return firstFailure(r, read(handle, wifi::closingQueries(), values, wifi::decode));
}

int readBluetooth(PrinterHandle *handle, bluetooth::Values &values)
{
    return read(handle, bluetooth::order(), values, bluetooth::decode);
}

int readWifiIp(PrinterHandle *handle, wifiip::Values &values)
{
    return read(handle, {wifiip::kCode}, values,
                [](SetInfoType, const unsigned char *payload, wifiip::Values &v) {
                    wifiip::decode(payload, v);
                });
}

int readEthernet(PrinterHandle *handle, ethernet::Values &values)
{
    return read(handle, ethernet::readOrder(), values, ethernet::decode);
}

} // namespace pages
