#include "core/settings/verify.h"

namespace pages {

Verification verifyWritten(PrinterHandle *handle, const SettingsPage &written,
                           const ModelKey &modelKey)
{
    Verification verification;
    std::unique_ptr<SettingsPage> readBack = pageNamed(written.name(), modelKey);
    if (!readBack)
        return verification;
    verification.readResult = readBack->read(handle);
    if (verification.readResult != 0 || framesOf(*readBack) == framesOf(written))
        return verification;
    const QStringList writable = written.writableKeys();
    for (const auto &[key, value] : written.values()) {
        const QString found = valueOf(*readBack, key);
        if (writable.contains(key) && found != value)
            verification.mismatches << Mismatch{key, value, found};
    }
    // The same texts but other bytes (a distance kept in other dots than were sent).
    const QMap<QString, qint64> sent = written.wireValues(), kept = readBack->wireValues();
    for (auto it = sent.begin(); it != sent.end(); ++it) {
        if (kept.value(it.key(), it.value()) != it.value() &&
            valueOf(*readBack, it.key()) == valueOf(written, it.key()))
            verification.mismatches << Mismatch{it.key(), QString::number(it.value()),
                                                QString::number(kept.value(it.key()))};
    }
    if (verification.mismatches.isEmpty()) // nothing a key explains: name the page's frames
        verification.mismatches << Mismatch{
            QString(), QString::fromLatin1(framesOf(written).join(' ').toHex(' ')),
            QString::fromLatin1(framesOf(*readBack).join(' ').toHex(' '))};
    return verification;
}

} // namespace pages
