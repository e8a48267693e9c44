#pragma once

#include "core/protocol/frame.h"

#include <QByteArray>
#include <optional>

namespace pages {

// One class-01 set command of a page write: the frame to send, or the reason none is sent.
struct SetCommand {
    // Built by frame::build; nullopt when skipped, or when the frame was refused (which a write
    // then reports as a failure).
    std::optional<QByteArray> frame;
    // Non-null: the command is skipped on purpose, for this reason (debug log only).
    const char *skipReason = nullptr;

    static SetCommand of(uint8_t code, const QByteArray &payload)
    {
        return {frame::build(frame::FrameClass::Set, code, payload), nullptr};
    }
    static SetCommand skipped(const char *reason) { return {std::nullopt, reason}; }
    bool isSkipped() const { return skipReason != nullptr; }
};

} // namespace pages
