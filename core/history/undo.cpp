#include "core/history/undo.h"

#include "core/history/fromresults.h"
#include "core/history/record.h"
#include "core/settings/settingspage.h"

#include <QObject>
#include <algorithm>

namespace history {

namespace {

// The page with the recorded values put back; an error text naming page and key otherwise.
std::optional<QString> putBack(pages::SettingsPage &page, const QList<ChangedKey> &keys,
                               QStringList &skipped)
{
    for (const ChangedKey &k : keys) {
        if (k.page != page.name())
            continue;
        // A masked secret was never known: the printer's own stays.
        if (isSecret(k.page, k.key) && k.before == kMasked) {
            skipped << k.page + QLatin1Char(' ') + k.key;
            continue;
        }
        if (k.beforeWire && page.setWireValue(k.key, *k.beforeWire, k.before))
            continue;
        if (const std::optional<QString> error = page.set(k.key, k.before))
            return QStringLiteral("%1: %2").arg(page.name(), *error);
    }
    if (const std::optional<pages::Refusal> refusal = page.validate())
        return QObject::tr("%1 页面的“%2”无效").arg(page.name(), refusal->field);
    return std::nullopt;
}

} // namespace

Undone undo(PrinterHandle *handle, const ModelKey &modelKey, const Entry &entry,
            const QString &printerSerial, const QString &frontEnd, const QString &usbPath)
{
    Undone u;
    if (entry.action.serial.isEmpty()) {
        u.refusal =
            QObject::tr("操作 %1 没有记下打印机的序列号，无法确定它属于哪台打印机").arg(entry.id);
        return u;
    }
    if (printerSerial != entry.action.serial) {
        u.refusal = QObject::tr("操作 %1 属于序列号为 %2 的打印机，所选打印机的序列号是 %3。"
                                "未发送任何设置。")
                        .arg(QString::number(entry.id), entry.action.serial,
                             printerSerial.isEmpty() ? QObject::tr("（未知）") : printerSerial);
        return u;
    }
    if (entry.action.keys.isEmpty()) {
        u.refusal = QObject::tr("操作 %1 没有改动任何设置项，没有可撤销的内容").arg(entry.id);
        return u;
    }
    profile::Merged merged;
    for (const QString &name : pages::pageNames()) {
        const bool named = std::any_of(entry.action.keys.begin(), entry.action.keys.end(),
                                       [&](const ChangedKey &k) { return k.page == name; });
        if (!named)
            continue;
        std::unique_ptr<pages::SettingsPage> page = pages::pageNamed(name, modelKey);
        if (!page) {
            u.refusal = QObject::tr("此机型不提供页面“%1”").arg(name);
            return u;
        }
        if (page->read(handle) != 0) {
            u.readFailed = true;
            u.refusal = name + QStringLiteral(": ") + QObject::tr("请确保打印机已通过usb进行连接");
            return u;
        }
        merged.asRead.push_back(page->clone());
        if (const std::optional<QString> error = putBack(*page, entry.action.keys, u.skipped)) {
            u.refusal = *error;
            return u;
        }
        merged.merged.push_back(std::move(page));
    }
    profile::ApplyOptions options; // only the pages that differ, each read back
    u.result = profile::applyMerged(handle, merged, {usbPath, modelKey.name(), modelKey}, options);
    u.action = actionOf(u.result, frontEnd, Kind::Undo, QString::number(entry.id));
    u.action.serial = printerSerial;
    // The keys again with the wire values of the pages, for an undo of this undo.
    u.action.keys.clear();
    for (const profile::PageResult &page : u.result.pages) {
        for (std::size_t i = 0; i < merged.merged.size(); ++i) {
            if (merged.merged[i]->name() == page.page && touched(page))
                u.action.keys << keysOf(page, merged.asRead[i].get(), merged.merged[i].get());
        }
    }
    record(u.action);
    return u;
}

} // namespace history
