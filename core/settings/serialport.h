#pragma once

#include "core/protocol/codes.h"
#include "core/settings/pagefields.h"
#include "core/settings/setcommand.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// The serial-port page without widgets or USB: the four line parameters (item indexes on the
// wire), the printer's device information and its serial number.
namespace serialport {

struct Values {
    int baudRate = pages::kNoItem;
    int parity = pages::kNoItem;
    int dataBits = pages::kNoItem;
    int stopBits = pages::kNoItem;
    // The third text of the identification reply, when the reply held all five.
    std::optional<QString> deviceInformation;
    // The serial number's bytes as the printer sent them (up to its first NUL), and their text.
    // A write sends exactly these bytes, and only when they were read from the printer written
    // to; nullopt skips the serial-number command.
    std::optional<QByteArray> serialNumber;
    QString serialNumberText;
};

inline const QString kSerialNumber = QStringLiteral("serial-number");
// The serial number and its NUL must fit the frame's one-byte length.
constexpr int kMaxSerialNumberBytes = 254;

enum class Command { LineParameters, SerialNumber };

// 0x0E, 0x0C, 0x10.
std::vector<SetInfoType> readOrder();
void decode(SetInfoType code, const unsigned char *payload, Values &values);
// The five texts of an identification reply, or none unless the buffer holds all five.
std::optional<QStringList> identificationTexts(const unsigned char *buffer);

// 0x0E, then 0x10.
std::vector<Command> writeOrder();
std::optional<pages::Refusal> validate(const Values &values);
pages::SetCommand encode(Command command, const Values &values);
// What a write of the page sends, in writeOrder(); the serial number's command is skipped
// unless it was read. Call validate() first.
std::vector<pages::SetCommand> writeCommands(const Values &values);

} // namespace serialport
