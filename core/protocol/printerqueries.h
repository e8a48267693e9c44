#pragma once

#include "core/protocol/codes.h"

#include <QByteArray>
#include <optional>

struct PrinterHandle;

// Each runs one exchange with a printer found by CDeviceIOOpera::GetPrinterHandle. The query
// functions clear the whole 1024-byte result buffer, then on success copy the reply's payload to
// its start. They return 0, or the exchange's result code (4 or 5); a reply cut short of its
// payload (frame::extractPayload) is a failed transfer, 4, and leaves the buffer all zeros.
int GetPrinterInfo(PrinterHandle *handle, SetInfoType code, unsigned char *result);
int GetPrinterStatusInfo(PrinterHandle *handle, POWER_InFo code, unsigned char *result);
// The first reply cut short since the last call, on this thread: the query's frame code and how
// many bytes came. Its diagnostic line is only for --verbose; a command that fails says it once
// in its own message.
struct CutReply {
    int code = 0;
    int bytes = 0;
};
std::optional<CutReply> takeCutReply();

// Triggers one printer action; nothing is read back.
int SetPrinterStatusButton(PrinterHandle *handle, POWER_InFo code);

// The result of sending a frame that frame::build refused: nothing went to the printer.
constexpr int kFrameRefused = 6;
// Sends one frame built by frame::build with the command exchange, logging its bytes. Returns the
// exchange's result, or kFrameRefused when there is no frame.
int SendFrame(PrinterHandle *handle, const std::optional<QByteArray> &request);
