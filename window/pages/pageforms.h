#pragma once

#include "core/settings/bluetooth.h"
#include "core/settings/distances.h"
#include "core/settings/ethernet.h"
#include "core/settings/pagereads.h"
#include "core/settings/printsettings.h"
#include "core/settings/serialport.h"
#include "core/settings/wifi.h"
#include "core/settings/wifiip.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

class QLabel;

namespace Ui {
class MainWindow;
}

// The settings pages on the form: each page's values taken from its widgets, and values shown in
// them. The widgets are the only place the window keeps a page's values; what a write sends is
// the page codec's business.
namespace pageform {

// The label that names a page's field on the form, for the message that refuses its value.
struct FieldLabel {
    QString key;
    const QLabel *label;
};
using FieldLabels = std::vector<FieldLabel>;

printsettings::Values printSettingsFrom(const Ui::MainWindow &form);
void show(Ui::MainWindow &form, const printsettings::Values &values);
FieldLabels printSettingsLabels(const Ui::MainWindow &form);

distances::Values distancesFrom(const Ui::MainWindow &form);
void show(Ui::MainWindow &form, const distances::Values &values);
FieldLabels distanceLabels(const Ui::MainWindow &form);

// The serial number's bytes are no widget's: the caller keeps what the last read took.
serialport::Values serialPortFrom(const Ui::MainWindow &form,
                                  const std::optional<QByteArray> &serialNumberRead);
void show(Ui::MainWindow &form, const serialport::Values &values);
FieldLabels serialPortLabels(const Ui::MainWindow &form);

wifi::Values wifiFrom(const Ui::MainWindow &form);
void show(Ui::MainWindow &form, const wifi::Values &values);
FieldLabels wifiLabels(const Ui::MainWindow &form);

bluetooth::Values bluetoothFrom(const Ui::MainWindow &form);
void show(Ui::MainWindow &form, const bluetooth::Values &values);
FieldLabels bluetoothLabels(const Ui::MainWindow &form);

wifiip::Values wifiIpFrom(const Ui::MainWindow &form);
void show(Ui::MainWindow &form, const wifiip::Values &values);
FieldLabels wifiIpLabels(const Ui::MainWindow &form);

ethernet::Values ethernetFrom(const Ui::MainWindow &form);
void show(Ui::MainWindow &form, const ethernet::Values &values);
FieldLabels ethernetLabels(const Ui::MainWindow &form);

// The printer information group: version, resolution and maximum paper width, and the model
// when the read asked for it. A value the read did not get leaves its field as it was.
void show(Ui::MainWindow &form, const pages::Information &information);

} // namespace pageform
