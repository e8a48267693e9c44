#include "core/printers/printeraccess.h"

#include "core/printers/supportedprinters.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QObject>

namespace printeraccess {

namespace {

// Where udev reads rules from, the package's folder first.
const char *const kRuleFolders[] = {"/usr/lib/udev/rules.d", "/lib/udev/rules.d",
                                    "/usr/local/lib/udev/rules.d", "/etc/udev/rules.d",
                                    "/run/udev/rules.d"};

} // namespace

Setup thisSystem()
{
    Setup setup;
    const QString rule = QStringLiteral(LABELSETUP_UDEV_RULE);
    for (const char *folder : kRuleFolders)
        setup.ruleInstalled =
            setup.ruleInstalled || QFileInfo::exists(QLatin1String(folder) + '/' + rule);
    // A program of the build tree runs from the build folder or one below it.
    const QString buildDir = QDir(QStringLiteral(LABELSETUP_BUILD_DIR)).canonicalPath();
    const QString programDir = QDir(QCoreApplication::applicationDirPath()).canonicalPath();
    const QString builtRule = QStringLiteral(LABELSETUP_BUILD_DIR "/packaging/") + rule;
    if (!buildDir.isEmpty() &&
        (programDir == buildDir || programDir.startsWith(buildDir + QLatin1Char('/'))) &&
        QFileInfo::exists(builtRule))
        setup.buildTreeRule = builtRule;
    return setup;
}

QString remedy(const Setup &setup)
{
    if (setup.ruleInstalled)
        return QObject::tr(
            "已安装的udev规则只把打印机交给在本机座席登录的用户：请拔下打印机再插上；"
            "若仍然没有权限，请在本机的座席上登录（而不是通过ssh等远程登录）。");
    if (setup.buildTreeRule.isEmpty())
        return QObject::tr(
            "udev规则没有安装：请安装 label-printer-setup 软件包，再拔下打印机重新插上。");
    return QObject::tr("udev规则没有安装。请以root身份执行：") +
           QStringLiteral("\n\n    cp %1 /etc/udev/rules.d/\n"
                          "    udevadm control --reload-rules\n"
                          "    udevadm trigger --subsystem-match=usb --attr-match=idVendor=%2\n")
               .arg(setup.buildTreeRule, QString::asprintf("%04x", supportedprinters::kVendorId));
}

} // namespace printeraccess
