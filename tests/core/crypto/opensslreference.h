// Reference results from OpenSSL's libcrypto, for the cross-checks. Used by tests only.
#ifndef TESTS_CRYPTO_OPENSSLREFERENCE_H
#define TESTS_CRYPTO_OPENSSLREFERENCE_H

#include <QByteArray>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <random>

namespace reference {

// Random test input from a seeded generator, so that a failure can be repeated.
inline QByteArray randomBytes(std::mt19937 &random, int size)
{
    QByteArray data(size, '\0');
    for (char &byte : data)
        byte = char(random() & 0xff);
    return data;
}

// AES-128 in ECB or CBC mode without padding; data must be a whole number of blocks.
inline QByteArray aes128(const EVP_CIPHER *cipher, bool encrypt, const QByteArray &key,
                         const QByteArray &iv, const QByteArray &data)
{
    QByteArray result(data.size() + 16, '\0');
    EVP_CIPHER_CTX *context = EVP_CIPHER_CTX_new();
    const auto *keyBytes = reinterpret_cast<const unsigned char *>(key.constData());
    const auto *ivBytes =
        iv.isEmpty() ? nullptr : reinterpret_cast<const unsigned char *>(iv.constData());
    int written = 0;
    int finalWritten = 0;
    bool ok = EVP_CipherInit_ex(context, cipher, nullptr, keyBytes, ivBytes, encrypt ? 1 : 0) == 1;
    ok = ok && EVP_CIPHER_CTX_set_padding(context, 0) == 1;
    ok = ok && EVP_CipherUpdate(context, reinterpret_cast<unsigned char *>(result.data()), &written,
                                reinterpret_cast<const unsigned char *>(data.constData()),
                                data.size()) == 1;
    ok = ok &&
         EVP_CipherFinal_ex(context, reinterpret_cast<unsigned char *>(result.data()) + written,
                            &finalWritten) == 1;
    EVP_CIPHER_CTX_free(context);
    if (!ok)
        return QByteArray("openssl failed");
    result.resize(written + finalWritten);
    return result;
}

inline QByteArray ecb(bool encrypt, const QByteArray &key, const QByteArray &data)
{
    return aes128(EVP_aes_128_ecb(), encrypt, key, QByteArray(), data);
}

inline QByteArray cbc(bool encrypt, const QByteArray &key, const QByteArray &iv,
                      const QByteArray &data)
{
    return aes128(EVP_aes_128_cbc(), encrypt, key, iv, data);
}

inline QByteArray md5(const QByteArray &data)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(data.constData(), size_t(data.size()), digest, &length, EVP_md5(), nullptr) != 1)
        return QByteArray("openssl failed");
    return QByteArray(reinterpret_cast<const char *>(digest), int(length));
}

inline QByteArray hmacMd5(const QByteArray &key, const QByteArray &data)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!HMAC(EVP_md5(), key.constData(), key.size(),
              reinterpret_cast<const unsigned char *>(data.constData()), size_t(data.size()),
              digest, &length))
        return QByteArray("openssl failed");
    return QByteArray(reinterpret_cast<const char *>(digest), int(length));
}

} // namespace reference

#endif // TESTS_CRYPTO_OPENSSLREFERENCE_H
