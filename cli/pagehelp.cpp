#include "cli/pagehelp.h"

#include "core/settings/settingspage.h"

#include <QObject>
#include <algorithm>
#include <optional>

namespace cli {

namespace {

using pages::KeyDescription;
using Pages = std::vector<std::unique_ptr<pages::SettingsPage>>;

// Choices "0", "1", ... "n-1"; a long run of them reads better as a range.
bool isLongNumberRun(const QStringList &choices)
{
    if (choices.size() <= 8)
        return false;
    for (int i = 0; i < choices.size(); ++i) {
        if (choices[i] != QString::number(i))
            return false;
    }
    return true;
}

QString wholeNumbers(qint64 min, qint64 max, const QString &unit)
{
    if (unit.isEmpty())
        return QObject::tr("%1 到 %2 的整数").arg(min).arg(max);
    return QObject::tr("%1 到 %2 的整数（%3）").arg(min).arg(max).arg(unit);
}

const pages::SettingsPage *pageNamed(const Pages &all, const QString &name)
{
    for (const auto &page : all) {
        if (page->name() == name)
            return page.get();
    }
    return nullptr;
}

std::optional<KeyDescription> keyNamed(const pages::SettingsPage &page, const QString &key)
{
    for (const KeyDescription &description : page.keys()) {
        if (description.key == key)
            return description;
    }
    return std::nullopt;
}

} // namespace

QString acceptedValues(const KeyDescription &key)
{
    using Kind = KeyDescription::Kind;
    switch (key.kind) {
    case Kind::Choice:
        if (isLongNumberRun(key.choices))
            return wholeNumbers(0, key.choices.size() - 1, QString());
        if (!key.note.isEmpty())
            return QObject::tr("%1（%2）").arg(key.choices.join(QStringLiteral(", ")), key.note);
        return key.choices.join(QStringLiteral(", "));
    case Kind::Number:
        return wholeNumbers(key.range.min, key.range.max, key.unit);
    case Kind::Text:
        return key.note.isEmpty() ? QObject::tr("文字") : key.note;
    case Kind::Address:
        return QObject::tr("IP地址，如 192.168.1.100");
    case Kind::Mask:
        return QObject::tr("连续的子网掩码，如 255.255.255.0");
    case Kind::ReadOnly:
        return QObject::tr("只读");
    }
    return QString();
}

QString pagesHelp()
{
    const Pages extended = pages::pagesWith(pages::Features::Extended);
    const Pages basic = pages::pagesWith(pages::Features::Basic);
    const QString someModels = QObject::tr("（仅部分机型）");
    QString text = QObject::tr("页面、设置项及其可选值：") + '\n';
    for (const auto &page : extended) {
        const pages::SettingsPage *onEveryModel = pageNamed(basic, page->name());
        text +=
            QStringLiteral("  ") + page->name() + (onEveryModel ? QString() : someModels) + '\n';
        const std::vector<KeyDescription> keys = page->keys();
        int width = 0;
        for (const KeyDescription &key : keys)
            width = std::max(width, int(key.key.size()));
        for (const KeyDescription &key : keys) {
            QString accepted = acceptedValues(key);
            if (onEveryModel) {
                const std::optional<KeyDescription> elsewhere = keyNamed(*onEveryModel, key.key);
                if (!elsewhere)
                    accepted += someModels;
                else if (acceptedValues(*elsewhere) != accepted)
                    accepted += QObject::tr("（其他机型：%1）").arg(acceptedValues(*elsewhere));
            }
            text += QStringLiteral("    %1  %2\n").arg(key.key, -width).arg(accepted);
        }
    }
    return text;
}

} // namespace cli
