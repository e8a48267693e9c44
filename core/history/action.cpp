#include "core/history/action.h"

#include "core/settings/bluetooth.h"
#include "core/settings/wifi.h"

#include <QObject>

namespace history {

namespace {
struct KindRow {
    Kind kind;
    const char *name;
    const char *text; // translated in the QObject context
};
const KindRow kKinds[] = {
    {Kind::Write, "write", QT_TRANSLATE_NOOP("QObject", "写入")},
    {Kind::Restore, "restore", QT_TRANSLATE_NOOP("QObject", "恢复配置")},
    {Kind::Provision, "provision", QT_TRANSLATE_NOOP("QObject", "批量配置")},
    {Kind::Download, "download", QT_TRANSLATE_NOOP("QObject", "下载")},
    {Kind::Maintenance, "maintenance", QT_TRANSLATE_NOOP("QObject", "维护操作")},
    {Kind::Initialisation, "initialisation", QT_TRANSLATE_NOOP("QObject", "初始化")},
    {Kind::Undo, "undo", QT_TRANSLATE_NOOP("QObject", "撤销")},
};
} // namespace

QString kindName(Kind kind)
{
    for (const KindRow &row : kKinds) {
        if (row.kind == kind)
            return QLatin1String(row.name);
    }
    return QString();
}

std::optional<Kind> kindNamed(const QString &name)
{
    for (const KindRow &row : kKinds) {
        if (name == QLatin1String(row.name))
            return row.kind;
    }
    return std::nullopt;
}

QString kindText(const QString &name)
{
    for (const KindRow &row : kKinds) {
        if (name == QLatin1String(row.name))
            return QObject::tr(row.text);
    }
    return name;
}

bool isSecret(const QString &page, const QString &key)
{
    return (page == QLatin1String("wifi") &&
            (key == wifi::kStationPassword || key == wifi::kAccessPointPassword)) ||
           (page == QLatin1String("bluetooth") && key == bluetooth::kPin);
}

} // namespace history
