// Runs AES tests on each block implementation this processor offers.
#ifndef TESTS_CRYPTO_AESENGINES_H
#define TESTS_CRYPTO_AESENGINES_H

#include "core/crypto/aes.h"

#include <QList>
#include <QString>

struct AesEngine {
    QString name;
    bool hardware;
};

inline QList<AesEngine> availableAesEngines()
{
    QList<AesEngine> engines{{QStringLiteral("portable"), false}};
    if (aes128::hardwareAvailable())
        engines.append({QStringLiteral("aes-ni"), true});
    return engines;
}

// Selects an engine and checks that the selection took effect.
inline bool selectAesEngine(bool hardware)
{
    aes128::setHardwareEnabled(hardware);
    return aes128::hardwareInUse() == hardware;
}

#endif // TESTS_CRYPTO_AESENGINES_H
