// make-download-samples DIR: writes a sample firmware file and a sample font file, encrypted with
// this build's download key, and next to each the plain bytes the printer should receive.
//   firmware-sample.hex  8192 plain bytes: eight whole chunks, so a zero-length write ends it
//   font-sample.bin      3000 plain bytes: two whole chunks and a short one (progress 34, 68, 100);
//                        its encrypted form ends in a short block of 8 bytes
// The bytes are random from a fixed seed, so every build of one key makes the same files.
#include "core/crypto/aes.h"
#include "core/crypto/filedecrypt.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
constexpr std::size_t kBlock = 16;

bool save(const std::string &path, const Bytes &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "make-download-samples: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

Bytes randomBytes(std::mt19937 &random, std::size_t size)
{
    Bytes bytes(size);
    for (unsigned char &b : bytes)
        b = static_cast<unsigned char>(random() & 0xFF);
    return bytes;
}

// The encrypted file of `wholeBlocks` random blocks followed by `tail` bytes (0 to 15), and the
// plain bytes the tool decrypts from it: the whole blocks as they were, then the short block
// zero-extended, decrypted and cut to its length. The tail is drawn until its last plain byte is
// not zero, so that nothing is trimmed and the plain size is exactly known.
void makeSample(std::mt19937 &random, std::size_t wholeBlocks, std::size_t tail, Bytes &encrypted,
                Bytes &plain)
{
    plain = randomBytes(random, wholeBlocks * kBlock);
    encrypted = plain;
    for (std::size_t offset = 0; offset < encrypted.size(); offset += kBlock)
        AES128_ECB_encrypt(&encrypted[offset], kDownloadFileKey, &encrypted[offset]);
    if (tail == 0)
        return;
    for (;;) {
        unsigned char block[kBlock] = {};
        const Bytes drawn = randomBytes(random, tail);
        std::copy(drawn.begin(), drawn.end(), block);
        AES128_ECB_decrypt(block, kDownloadFileKey, block);
        if (block[tail - 1] == 0)
            continue;
        encrypted.insert(encrypted.end(), drawn.begin(), drawn.end());
        plain.insert(plain.end(), block, block + tail);
        return;
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-download-samples DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::mt19937 random(20240315);
    Bytes encrypted, plain;
    makeSample(random, 8192 / kBlock, 0, encrypted, plain);
    bool ok = save(dir + "/firmware-sample.hex", encrypted) &&
              save(dir + "/firmware-sample.plain", plain);
    makeSample(random, 2992 / kBlock, 8, encrypted, plain);
    ok = ok && save(dir + "/font-sample.bin", encrypted) && save(dir + "/font-sample.plain", plain);
    return ok ? 0 : 1;
}
