#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <optional>

// The printer's instruction frame:
//   1B FF FE | class | code | n | n payload bytes | 1B FE FF
// and its reply, of which only the head, byte 5 (n) and the payload from byte 6 are read.
namespace frame {

constexpr uint8_t kHead[3] = {0x1B, 0xFF, 0xFE};
constexpr uint8_t kTail[3] = {0x1B, 0xFE, 0xFF};
constexpr std::size_t kHeadLength = sizeof kHead;
constexpr std::size_t kTailLength = sizeof kTail;
constexpr std::size_t kClassOffset = 3;
constexpr std::size_t kCodeOffset = 4;
constexpr std::size_t kPayloadLengthOffset = 5;
constexpr std::size_t kPayloadOffset = 6;
constexpr std::size_t kOverhead = kPayloadOffset + kTailLength; // 9 bytes around the payload
constexpr std::size_t kMaxPayload = 255;

// Size of every caller's query result buffer: the payload from offset 0, zeros after it.
constexpr std::size_t kResultBufferSize = 1024;

enum class FrameClass : uint8_t {
    Status = 0x00, // status queries and button actions
    Set = 0x01,    // write one setting
    Get = 0x02,    // read one setting
};

// Builds one frame. A payload longer than 255 bytes cannot be framed: there is no frame then, so
// nothing with a wrong length byte can reach the printer.
std::optional<QByteArray> build(FrameClass frameClass, uint8_t code,
                                const QByteArray &payload = {});

// 16-bit payload fields travel little-endian, signed ones in two's complement.
QByteArray uint16Le(uint16_t value);
uint16_t readUint16Le(const unsigned char *bytes);
int16_t readInt16Le(const unsigned char *bytes);

// Copies the payload of a reply of replyLength received bytes into a result buffer of
// kResultBufferSize bytes, which is cleared first. Returns the payload length n (0 to 255), or
// nullopt when the reply is cut short: fewer than the 6 bytes up to n, a head other than
// 1B FF FE, or fewer than the n payload bytes. Class, code and tail are not judged.
std::optional<std::size_t> extractPayload(const unsigned char *reply, std::size_t replyLength,
                                          unsigned char *result);

} // namespace frame
