#include "core/protocol/frame.h"

#include <algorithm>
#include <cstring>

namespace frame {

std::optional<QByteArray> build(FrameClass frameClass, uint8_t code, const QByteArray &payload)
{
    if (std::size_t(payload.size()) > kMaxPayload)
        return std::nullopt;
    QByteArray bytes;
    bytes.reserve(int(kOverhead) + payload.size());
    bytes.append(reinterpret_cast<const char *>(kHead), int(kHeadLength));
    bytes.append(char(frameClass));
    bytes.append(char(code));
    bytes.append(char(uint8_t(payload.size())));
    bytes.append(payload);
    bytes.append(reinterpret_cast<const char *>(kTail), int(kTailLength));
    return bytes;
}

QByteArray uint16Le(uint16_t value)
{
    const char bytes[2] = {char(value & 0xFF), char(value >> 8)};
    return QByteArray(bytes, 2);
}

uint16_t readUint16Le(const unsigned char *bytes) { return uint16_t(bytes[0] | bytes[1] << 8); }

int16_t readInt16Le(const unsigned char *bytes) { return int16_t(readUint16Le(bytes)); }

std::optional<std::size_t> extractPayload(const unsigned char *reply, std::size_t replyLength,
                                          unsigned char *result)
{
    std::memset(result, 0, kResultBufferSize);
    if (replyLength < kPayloadOffset || !std::equal(kHead, kHead + kHeadLength, reply))
        return std::nullopt;
    const std::size_t n = reply[kPayloadLengthOffset];
    if (replyLength - kPayloadOffset < n)
        return std::nullopt;
    std::memcpy(result, reply + kPayloadOffset, n);
    return n;
}

} // namespace frame
