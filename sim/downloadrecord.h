// What the printer received of firmware and font downloads: the stream of unframed bulk writes.
// std and OpenSSL's digest only; PrinterModel feeds it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vprinter {

// One download as the printer saw it.
struct DownloadRecord {
    std::vector<std::size_t> writes; // length of every accepted bulk write, in order
    std::uint64_t total = 0;         // bytes received (the sum of writes)
    int failedWrites = 0;            // writes the device refused (a fault switch)
    bool ended = false;              // a write shorter than a chunk (or of length 0) closed it
    bool zeroLengthEnd = false;      // ... and it was a zero-length write
    std::string sha256;              // of the bytes received, lower-case hex
};

// Recognises the streams among the bulk writes. The printer takes a download in 1024-byte writes;
// a shorter one, zero-length included, ends it. While one is open every write belongs to it, so
// the printer never acts on a frame in the middle of an image.
class DownloadRecorder
{
public:
    static constexpr std::size_t kChunkSize = 1024;

    DownloadRecorder();
    ~DownloadRecorder();
    DownloadRecorder(const DownloadRecorder &) = delete;
    DownloadRecorder &operator=(const DownloadRecorder &) = delete;

    bool isOpen() const { return open_; }
    void onWrite(const std::uint8_t *data, std::size_t length);
    void onFailedWrite();
    // Every download so far, the open one last; digests are of what arrived up to now.
    std::vector<DownloadRecord> downloads() const;
    void clear();

private:
    struct Digest;
    void openIfNeeded();

    std::vector<DownloadRecord> done_;
    DownloadRecord current_;
    std::unique_ptr<Digest> digest_;
    bool open_ = false;
};

} // namespace vprinter
