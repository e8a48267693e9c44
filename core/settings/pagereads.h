#pragma once

#include "core/settings/bluetooth.h"
#include "core/settings/distances.h"
#include "core/settings/ethernet.h"
#include "core/settings/printsettings.h"
#include "core/settings/serialport.h"
#include "core/settings/wifi.h"
#include "core/settings/wifiip.h"

#include <QString>
#include <optional>

struct PrinterHandle;

// Reading each settings page from an open printer into its values: the page's queries in their
// order, every one attempted, each successful reply decoded over what `values` held. The result
// is 0 when every query succeeded, else the result of the first that failed. The window and the
// command line both read through these.
namespace pages {

// The printer's identity: what each query of the information group gave (nothing when it failed).
struct Information {
    std::optional<QString> version;
    std::optional<int> resolution; // dots per inch
    std::optional<int> maxWidthMm; // the widest paper, in whole millimetres
    std::optional<QString> model;
};
struct InformationResults {
    int version = 0;
    int resolution = 0;
    int identification = 0;
    int firstFailure() const;
};
// Version, then resolution and width, then (when asked) the identification with the model.
InformationResults readInformation(PrinterHandle *handle, Information &information,
                                   bool withIdentification = true);

int readPrintSettings(PrinterHandle *handle, printsettings::Values &values);
int readDistances(PrinterHandle *handle, distances::Values &values);
// Takes the serial number only from this read: it is cleared first.
int readSerialPort(PrinterHandle *handle, serialport::Values &values);
// The serial number alone (one query): what a printer is known by when it moves to another port.
// Nothing when the query failed.
std::optional<QString> readSerialNumber(PrinterHandle *handle);
int readWifi(PrinterHandle *handle, wifi::Values &values);
int readBluetooth(PrinterHandle *handle, bluetooth::Values &values);
int readWifiIp(PrinterHandle *handle, wifiip::Values &values);
int readEthernet(PrinterHandle *handle, ethernet::Values &values);

} // namespace pages
