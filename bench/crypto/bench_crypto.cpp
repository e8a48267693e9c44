// How long the download's decryption holds the GUI thread: AES128_ECB_decrypt per 16-byte call and
// the whole decrypt-a-file routine, each side by side with OpenSSL in the same run.
// Run pinned to one CPU: taskset -c 0 ./bench_crypto [file size in MiB, default 16]
#include "core/crypto/aes.h"
#include "core/crypto/filedecrypt.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <openssl/evp.h>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRepeats = 7;

double secondsOf(const std::function<void()> &work)
{
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Median of several runs: robust against the odd interruption on a shared machine.
double medianSeconds(const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < kRepeats; ++i)
        times.push_back(secondsOf(work));
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::vector<uint8_t> randomBytes(size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> data(size);
    for (uint8_t &byte : data)
        byte = uint8_t(random());
    return data;
}

uint64_t checksum(const std::vector<uint8_t> &data)
{
    uint64_t sum = 0;
    for (uint8_t byte : data)
        sum = sum * 31 + byte;
    return sum;
}

const uint8_t kKey[16] = {0x2b, 0x7e, 0x15, 0x16, 0x28, 0xae, 0xd2, 0xa6,
                          0xab, 0xf7, 0x15, 0x88, 0x09, 0xcf, 0x4f, 0x3c};
const uint8_t kOtherKey[16] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
                               0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f};

// ---- per-call throughput -------------------------------------------------------------------

constexpr size_t kBufferSize = 64 * 1024; // stays in cache: measures the calls, not memory
constexpr int kPasses = 512;              // 32 MiB, 2 Mi calls per run

struct Row {
    const char *name;
    double seconds;
    uint64_t check;
};

void printRow(const Row &row, double reference)
{
    const double bytes = double(kBufferSize) * kPasses;
    const double calls = bytes / 16;
    std::printf("  %-52s %8.1f MB/s %7.1f ns/call  %5.2fx OpenSSL  (check %016llx)\n", row.name,
                bytes / row.seconds / 1e6, row.seconds / calls * 1e9, reference / row.seconds,
                static_cast<unsigned long long>(row.check));
}

Row ours(const char *name, bool hardware, bool alternateKeys, const std::vector<uint8_t> &input)
{
    aes128::setHardwareEnabled(hardware);
    std::vector<uint8_t> output(input.size());
    const double seconds = medianSeconds([&] {
        for (int pass = 0; pass < kPasses; ++pass) {
            for (size_t offset = 0; offset < input.size(); offset += 16) {
                const uint8_t *key = alternateKeys && (offset & 16) ? kOtherKey : kKey;
                AES128_ECB_decrypt(input.data() + offset, key, output.data() + offset);
            }
        }
    });
    aes128::setHardwareEnabled(true);
    return {name, seconds, checksum(output)};
}

Row opensslPerCall(const std::vector<uint8_t> &input)
{
    std::vector<uint8_t> output(input.size());
    EVP_CIPHER_CTX *context = EVP_CIPHER_CTX_new();
    EVP_DecryptInit_ex(context, EVP_aes_128_ecb(), nullptr, kKey, nullptr);
    EVP_CIPHER_CTX_set_padding(context, 0);
    const double seconds = medianSeconds([&] {
        for (int pass = 0; pass < kPasses; ++pass) {
            for (size_t offset = 0; offset < input.size(); offset += 16) {
                int written = 0;
                EVP_DecryptUpdate(context, output.data() + offset, &written, input.data() + offset,
                                  16);
            }
        }
    });
    EVP_CIPHER_CTX_free(context);
    return {"OpenSSL EVP AES-128-ECB, 16 bytes per call", seconds, checksum(output)};
}

void benchmarkPerCall()
{
    std::printf("AES-128 ECB decryption, one 16-byte block per call (%d MiB per run, median of "
                "%d runs)\n",
                int(kBufferSize * kPasses >> 20), kRepeats);
    const std::vector<uint8_t> input = randomBytes(kBufferSize, 1);
    const Row reference = opensslPerCall(input);
    printRow(reference, reference.seconds);
    if (aes128::hardwareAvailable()) {
        printRow(ours("AES128_ECB_decrypt (AES instructions)", true, false, input),
                 reference.seconds);
        printRow(ours("AES128_ECB_decrypt (AES instructions, key changes)", true, true, input),
                 reference.seconds);
    }
    printRow(ours("AES128_ECB_decrypt (portable tables)", false, false, input), reference.seconds);
    printRow(ours("AES128_ECB_decrypt (portable tables, key changes)", false, true, input),
             reference.seconds);
}

// ---- decrypting a file ---------------------------------------------------------------------

int runProcess(const std::vector<std::string> &arguments)
{
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The download's decryption taken literally: 16 bytes read, decrypted and written at a time.
bool decryptBlockAtATime(const QString &inputPath, const QString &outputPath)
{
    QFile input(inputPath);
    QFile output(outputPath);
    if (!input.open(QIODevice::ReadOnly) || !output.open(QIODevice::WriteOnly))
        return false;
    unsigned char block[16];
    unsigned char plain[16];
    while (!input.atEnd()) {
        std::fill(block, block + 16, 0);
        const qint64 got = input.read(reinterpret_cast<char *>(block), 16);
        AES128_ECB_decrypt(block, kKey, plain);
        qint64 keep = got;
        if (got < 16) {
            while (keep > 0 && plain[keep - 1] == 0)
                --keep;
        }
        output.write(reinterpret_cast<const char *>(plain), keep);
    }
    return true;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void benchmarkFile(int mebibytes)
{
    QTemporaryDir directory;
    const QString encryptedPath = directory.filePath("firmware.hex");
    const QString oursPath = directory.filePath("firmware_decrypted.hex");
    const QString literalPath = directory.filePath("firmware_literal.hex");
    const QString opensslPath = directory.filePath("firmware_openssl.hex");
    {
        const std::vector<uint8_t> data = randomBytes(size_t(mebibytes) << 20, 2);
        QFile file(encryptedPath);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char *>(data.data()), qint64(data.size())) !=
                qint64(data.size())) {
            std::printf("cannot write %s\n", qPrintable(encryptedPath));
            return;
        }
    }
    std::string hexKey;
    for (uint8_t byte : kKey) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", byte);
        hexKey += digits;
    }
    const std::vector<std::string> opensslCommand = {"openssl",
                                                     "enc",
                                                     "-d",
                                                     "-aes-128-ecb",
                                                     "-nopad",
                                                     "-K",
                                                     hexKey,
                                                     "-in",
                                                     encryptedPath.toStdString(),
                                                     "-out",
                                                     opensslPath.toStdString()};

    std::printf(
        "\nDecrypting a %d MiB file to a second file (page cache warm, median of %d runs)\n",
        mebibytes, kRepeats);
    if (runProcess(opensslCommand) != 0) {
        std::printf("  openssl enc failed or is not installed\n");
        return;
    }
    const double openssl = medianSeconds([&] { runProcess(opensslCommand); });
    const double startup = medianSeconds([&] { runProcess({"openssl", "version"}); });
    bool oursOk = true;
    const double oursSeconds = medianSeconds([&] {
        oursOk =
            oursOk && decryptDownloadFile(encryptedPath, oursPath, kKey) == FileDecryptResult::Ok;
    });
    const double literal = medianSeconds([&] { decryptBlockAtATime(encryptedPath, literalPath); });

    const QByteArray reference = readAll(opensslPath);
    const bool identical =
        oursOk && readAll(oursPath) == reference && reference.size() == (mebibytes << 20);
    const bool literalIdentical = readAll(literalPath) == reference;
    std::printf("  %-52s %8.1f ms\n", "openssl enc -d -aes-128-ecb -nopad (whole process)",
                openssl * 1e3);
    std::printf("  %-52s %8.1f ms\n", "  of which starting openssl (openssl version)",
                startup * 1e3);
    std::printf("  %-52s %8.1f ms  %5.2fx openssl's time, output %s\n",
                "decryptDownloadFile (64 KiB reads/writes)", oursSeconds * 1e3,
                oursSeconds / openssl, identical ? "byte-identical" : "DIFFERS");
    std::printf("  %-52s %8.1f ms  %5.2fx openssl's time, output %s\n",
                "16 bytes read/decrypted/written at a time", literal * 1e3, literal / openssl,
                literalIdentical ? "byte-identical" : "DIFFERS");
    QFile::remove(literalPath);
}

} // namespace

int main(int argc, char **argv)
{
    const int mebibytes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 16;
    std::printf("AES instructions: %s\n\n", aes128::hardwareAvailable() ? "available" : "absent");
    benchmarkPerCall();
    benchmarkFile(mebibytes);
    return 0;
}
