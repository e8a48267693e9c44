#include "downloadrecord.h"

#include <openssl/evp.h>

namespace vprinter {

// A running SHA-256 over the current download.
struct DownloadRecorder::Digest {
    EVP_MD_CTX *context = EVP_MD_CTX_new();
    Digest() { EVP_DigestInit_ex(context, EVP_sha256(), nullptr); }
    ~Digest() { EVP_MD_CTX_free(context); }
    void update(const std::uint8_t *data, std::size_t length)
    {
        EVP_DigestUpdate(context, data, length);
    }
    // The digest of what came so far; the running state is left as it is.
    std::string hex() const
    {
        EVP_MD_CTX *copy = EVP_MD_CTX_new();
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        EVP_MD_CTX_copy_ex(copy, context);
        EVP_DigestFinal_ex(copy, digest, &length);
        EVP_MD_CTX_free(copy);
        static const char digits[] = "0123456789abcdef";
        std::string out;
        for (unsigned int i = 0; i < length; ++i) {
            out += digits[digest[i] >> 4];
            out += digits[digest[i] & 0xF];
        }
        return out;
    }
};

DownloadRecorder::DownloadRecorder() = default;
DownloadRecorder::~DownloadRecorder() = default;

void DownloadRecorder::openIfNeeded()
{
    if (open_)
        return;
    open_ = true;
    current_ = {};
    digest_ = std::make_unique<Digest>();
}

void DownloadRecorder::onWrite(const std::uint8_t *data, std::size_t length)
{
    openIfNeeded();
    current_.writes.push_back(length);
    current_.total += length;
    digest_->update(data, length);
    if (length >= kChunkSize)
        return;
    current_.ended = true;
    current_.zeroLengthEnd = length == 0;
    current_.sha256 = digest_->hex();
    done_.push_back(current_);
    open_ = false;
    digest_.reset();
}

void DownloadRecorder::onFailedWrite()
{
    openIfNeeded();
    ++current_.failedWrites;
}

std::vector<DownloadRecord> DownloadRecorder::downloads() const
{
    std::vector<DownloadRecord> all = done_;
    if (open_) {
        all.push_back(current_);
        all.back().sha256 = digest_->hex();
    }
    return all;
}

void DownloadRecorder::clear()
{
    done_.clear();
    open_ = false;
    digest_.reset();
    current_ = {};
}

} // namespace vprinter
