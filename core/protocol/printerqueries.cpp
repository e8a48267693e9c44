#include "core/protocol/printerqueries.h"

#include "core/protocol/frame.h"
#include "core/protocol/protocollog.h"
#include "core/usb/deviceioopera.h"

#include <cstring>
#include <utility>

Q_LOGGING_CATEGORY(lcProtocol, "labelsetup.protocol")

namespace {

thread_local std::optional<CutReply> firstCutReply;

const unsigned char *bytes(const QByteArray &data)
{
    return reinterpret_cast<const unsigned char *>(data.constData());
}

QString hexList(const unsigned char *data, int count)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts << QString::asprintf("%02X", data[i]);
    return parts.join(',');
}

// Sends a query frame and leaves its reply's payload in `result`.
int query(PrinterHandle *handle, frame::FrameClass frameClass, int code, unsigned char *result,
          const char *name)
{
    // A frame without payload always builds.
    const QByteArray request = *frame::build(frameClass, uint8_t(code));
    if (frameClass == frame::FrameClass::Get)
        qCDebug(lcProtocol, "rrrrr %02X", uint8_t(code));
    else
        qCDebug(lcProtocol).noquote() << "getinfo mesage :" + hexList(bytes(request), 9);

    unsigned char reply[CDeviceIOOpera::kReplyLength] = {};
    int replyLength = 0;
    const int r = CDeviceIOOpera::PrinterDataIOSwap(handle, bytes(request), request.size(), reply,
                                                    replyLength);
    qCDebug(lcProtocol, "%s ret:%d", name, r);
    std::memset(result, 0, frame::kResultBufferSize);
    if (r != CDeviceIOOpera::kOk)
        return r;

    qCDebug(lcProtocol).noquote() << "getinfo mesage :" + hexList(reply, 13);
    const std::optional<std::size_t> n =
        frame::extractPayload(reply, std::size_t(replyLength), result);
    if (!n) {
        // A reply cut short is a failed transfer: none of it is taken.
        qCDebug(lcProtocol, "%s: reply cut short (%d bytes)", name, replyLength);
        if (!firstCutReply)
            firstCutReply = CutReply{code, replyLength};
        return CDeviceIOOpera::kTransferFailed;
    }
    for (std::size_t i = 0; i < *n; ++i)
        qCDebug(lcProtocol, "get mesage :%02X", result[i]);
    return CDeviceIOOpera::kOk;
}

} // namespace

std::optional<CutReply> takeCutReply() { return std::exchange(firstCutReply, std::nullopt); }

int GetPrinterInfo(PrinterHandle *handle, SetInfoType code, unsigned char *result)
{
    return query(handle, frame::FrameClass::Get, code, result, "GetPrinterInfo");
}

int GetPrinterStatusInfo(PrinterHandle *handle, POWER_InFo code, unsigned char *result)
{
    return query(handle, frame::FrameClass::Status, code, result, "GetStatusPrinterInfo");
}

int SetPrinterStatusButton(PrinterHandle *handle, POWER_InFo code)
{
    const QByteArray request = *frame::build(frame::FrameClass::Status, uint8_t(code));
    qCDebug(lcProtocol, "rrrrr %02X", uint8_t(code));
    qCDebug(lcProtocol).noquote() << "setinfo mesage :" + hexList(bytes(request), 9);
    int unused = 0;
    return CDeviceIOOpera::PrinterDataIOButton(handle, bytes(request), request.size(), nullptr,
                                               unused);
}

int SendFrame(PrinterHandle *handle, const std::optional<QByteArray> &request)
{
    if (!request) {
        qCWarning(lcProtocol, "frame refused: its payload does not fit the length byte");
        return kFrameRefused;
    }
    for (char byte : *request)
        qCDebug(lcProtocol, "%02X", uint8_t(byte));
    int unused = 0;
    return CDeviceIOOpera::PrinterDataIOButton(handle, bytes(*request), request->size(), nullptr,
                                               unused);
}
