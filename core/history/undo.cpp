#include "core/history/undo.h"

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

Undone undo(PrinterHandle *handle, const QString &modelKey, const Entry &entry,
            const QString &printerSerial, const QString &frontEnd, const QString &model,
            const QString &usbPath)
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
    u.results = profile::applyMerged(handle, merged, modelKey, true, true);
    u.action.frontEnd = frontEnd;
    u.action.serial = printerSerial;
    u.action.model = model;
    u.action.usbPath = usbPath;
    u.action.kind = Kind::Undo;
    u.action.detail = QString::number(entry.id);
    for (std::size_t i = 0; i < merged.merged.size(); ++i) {
        const profile::PageResult &r = u.results[i];
        if (r.written)
            u.action.keys << changedKeys(*merged.asRead[i], *merged.merged[i],
                                         r.result == 0 ? &r.verification : nullptr);
    }
    u.action.outcome = undoOutcome(u);
    record(u.action);
    return u;
}

QString undoOutcome(const Undone &undone)
{
    if (profile::pagesWritten(undone.results) == 0 &&
        std::none_of(undone.results.begin(), undone.results.end(),
                     [](const profile::PageResult &r) { return r.written; }))
        return QObject::tr("未改动");
    return profile::outcomeText(profile::outcomeOf(undone.results));
}

} // namespace history
