#include "core/settings/serialport.h"

#include "core/protocol/frame.h"
#include "core/settings/pageslog.h"

#include <cstring>

namespace serialport {

namespace {
constexpr int kIdentificationTexts = 5;
constexpr int kDeviceInformationText = 2;
} // namespace

std::vector<SetInfoType> readOrder()
{
    return {INFO_SERIAL_PORT, INFO_DEVICE_IDENTIFICATION, INFO_SERIAL_NUMBER};
}

std::optional<QStringList> identificationTexts(const unsigned char *buffer)
{
    const QList<QByteArray> firstFour = pages::replyTexts(buffer, kIdentificationTexts - 1);
    if (firstFour.size() < kIdentificationTexts - 1)
        return std::nullopt;
    QStringList texts;
    std::size_t start = 0;
    for (const QByteArray &text : firstFour) {
        texts << QString::fromUtf8(text);
        start += std::size_t(text.size()) + 1;
    }
    // The fifth text runs to its NUL or to the end of the buffer.
    const char *last = reinterpret_cast<const char *>(buffer + start);
    texts << QString::fromUtf8(last, int(strnlen(last, frame::kResultBufferSize - start)));
    const char *labels[kIdentificationTexts] = {
        "vidSString:", "pidSString:", "vidPtring:", "pidPtring:", "messagetring:"};
    for (int i = 0; i < kIdentificationTexts; ++i)
        qCDebug(lcPages).noquote() << labels[i] << texts.at(i);
    return texts;
}

void decode(SetInfoType code, const unsigned char *payload, Values &values)
{
    switch (code) {
    case INFO_SERIAL_PORT:
        values.baudRate = payload[0];
        values.parity = payload[1];
        values.dataBits = payload[2];
        values.stopBits = payload[3];
        break;
    case INFO_DEVICE_IDENTIFICATION:
        if (const std::optional<QStringList> texts = identificationTexts(payload))
            values.deviceInformation = texts->at(kDeviceInformationText);
        break;
    case INFO_SERIAL_NUMBER: {
        const char *text = reinterpret_cast<const char *>(payload);
        const QByteArray bytes(text, int(strnlen(text, frame::kResultBufferSize)));
        values.serialNumber = bytes;
        values.serialNumberText = QString::fromLocal8Bit(bytes);
        break;
    }
    default:
        break;
    }
}

std::vector<Command> writeOrder() { return {Command::LineParameters, Command::SerialNumber}; }

std::optional<pages::Refusal> validate(const Values &values)
{
    if (values.serialNumber && values.serialNumber->size() > kMaxSerialNumberBytes)
        return pages::Refusal{kSerialNumber, pages::Refusal::Reason::TooLong, 0,
                              kMaxSerialNumberBytes};
    return std::nullopt;
}

pages::SetCommand encode(Command command, const Values &values)
{
    if (command == Command::LineParameters) {
        const int indexes[] = {values.baudRate, values.parity, values.dataBits, values.stopBits};
        QByteArray payload;
        for (int index : indexes) {
            if (index < 0 || index > 0xFF)
                return pages::SetCommand::skipped("serial port: a line parameter has no item");
            payload.append(char(index));
        }
        return pages::SetCommand::of(INFO_SERIAL_PORT, payload);
    }
    if (!values.serialNumber)
        return pages::SetCommand::skipped("serial number: not read from this printer");
    qCDebug(lcPages).noquote() << "byte =" << *values.serialNumber;
    qCDebug(lcPages).noquote() << "byte =" << *values.serialNumber;
    return pages::SetCommand::of(INFO_SERIAL_NUMBER, *values.serialNumber + QByteArray(1, '\0'));
}

std::vector<pages::SetCommand> writeCommands(const Values &values)
{
    return pages::encodeEach(writeOrder(), values, encode);
}

} // namespace serialport
