// Decryption of an AES-128-ECB encrypted firmware or font file into a plain side file, the way the
// download sends it to the printer.
#ifndef CRYPTO_FILEDECRYPT_H
#define CRYPTO_FILEDECRYPT_H

#include <QString>

// The one fixed key of the firmware and font files: 16 ASCII characters used as the key bytes as
// they stand (the array holds them without a terminating zero). Set when the build is configured.
extern const unsigned char kDownloadFileKey[16];

enum class FileDecryptResult {
    Ok,
    InputOpenFailed,  // the encrypted file cannot be opened for reading; nothing was created
    OutputExists,     // something (a file, a link) already has the side file's name; left untouched
    OutputOpenFailed, // the side file cannot be created; nothing was written
    ReadFailed,       // reading the encrypted file failed; the side file is incomplete
    WriteFailed,      // writing the side file failed; the side file is incomplete
};

// The decrypted copy next to the chosen file: its absolute directory, its complete base name and
// "_decrypted.hex" (fonts.big5.bin gives fonts.big5_decrypted.hex).
QString downloadSideFilePath(const QString &chosen);

// Decrypts inputPath into outputPath (created anew; never an existing file) with
// AES128_ECB_decrypt, one call per 16-byte block of the input. Whole blocks are written exactly as
// decrypted, trailing zero bytes included. A short last block of n bytes (1 to 15) is extended with
// zero bytes, decrypted, and its first n output bytes are written without their trailing zero bytes
// (possibly nothing). Both files are closed on return. On ReadFailed or WriteFailed the incomplete
// side file is left for the caller to remove. Runs on the calling thread; the AES routines are not
// reentrant, so no other AES call may run meanwhile.
FileDecryptResult decryptDownloadFile(const QString &inputPath, const QString &outputPath,
                                      const unsigned char *key = kDownloadFileKey);

#endif // CRYPTO_FILEDECRYPT_H
