#pragma once

#include "core/protocol/frame.h"

#include <QByteArray>
#include <optional>
#include <vector>

namespace pages {

// One command of a page write: a class-01 set command, or the status-class button that closes
// the print page's write; the frame to send, or the reason none is sent.
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
    // A button code without payload (class 00).
    static SetCommand button(uint8_t code)
    {
        return {frame::build(frame::FrameClass::Status, code), nullptr};
    }
    static SetCommand skipped(const char *reason) { return {std::nullopt, reason}; }
    bool isSkipped() const { return skipReason != nullptr; }
};

// Encodes each step of a page's write order, in that order.
template <typename Step, typename Values>
std::vector<SetCommand> encodeEach(const std::vector<Step> &order, const Values &values,
                                   SetCommand (*encode)(Step, const Values &))
{
    std::vector<SetCommand> commands;
    commands.reserve(order.size());
    for (Step step : order)
        commands.push_back(encode(step, values));
    return commands;
}

} // namespace pages
