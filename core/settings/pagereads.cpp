#include "core/settings/pagereads.h"

#include "core/protocol/frame.h"
#include "core/protocol/printerqueries.h"
#include "core/settings/pageexchange.h"

#include <cstring>

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

constexpr int kModelText = 1;
constexpr int kDotsPerMmShift = 3; // 8 dots per millimetre

} // namespace

int InformationResults::firstFailure() const
{
    return pages::firstFailure(pages::firstFailure(version, resolution), identification);
}

InformationResults readInformation(PrinterHandle *handle, Information &information,
                                   bool withIdentification)
{
    InformationResults results;
    unsigned char buffer[frame::kResultBufferSize] = {};
    results.version = GetPrinterStatusInfo(handle, POWER_VERSION, buffer);
    if (results.version == 0) {
        const char *text = reinterpret_cast<const char *>(buffer);
        information.version = QString::fromLocal8Bit(text, int(strnlen(text, sizeof buffer)));
    }
    results.resolution = GetPrinterStatusInfo(handle, POWER_RESOLUTION_AND_WIDTH, buffer);
    if (results.resolution == 0) {
        information.resolution = frame::readUint16Le(buffer);
        information.maxWidthMm = frame::readUint16Le(buffer + 2) >> kDotsPerMmShift;
    }
    if (!withIdentification)
        return results;
    results.identification = GetPrinterInfo(handle, INFO_DEVICE_IDENTIFICATION, buffer);
    if (results.identification == 0) {
        // The reply is at most 255 bytes in a zero-filled 1024-byte buffer: all five are there.
        if (const std::optional<QStringList> texts = serialport::identificationTexts(buffer))
            information.model = texts->at(kModelText);
    }
    return results;
}

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

std::optional<QString> readSerialNumber(PrinterHandle *handle)
{
    serialport::Values values;
    if (read(handle, {INFO_SERIAL_NUMBER}, values, serialport::decode) != 0 || !values.serialNumber)
        return std::nullopt;
    return values.serialNumberText;
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
