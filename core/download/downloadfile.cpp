#include "core/download/downloadfile.h"

#include "core/base/filenames.h"
#include "core/crypto/filedecrypt.h"
#include "core/download/downloadlog.h"

#include <QCoreApplication>

namespace download {

namespace {
QString text(const char *source, const QString &path)
{
    return QCoreApplication::translate("QObject", source).arg(path);
}
} // namespace

Prepared prepareFile(const QString &chosen, QString (*displayPath)(const QString &),
                     const QString &forPrinter)
{
    Prepared prepared;
    prepared.sideFile = downloadSideFilePath(chosen);
    if (!forPrinter.isEmpty())
        prepared.sideFile += QLatin1Char('.') + forPrinter;
    const QString shownChosen = displayPath ? displayPath(chosen) : chosen;
    const QString shownSide = displayPath ? displayPath(prepared.sideFile) : prepared.sideFile;
    switch (decryptDownloadFile(chosen, prepared.sideFile)) {
    case FileDecryptResult::Ok:
        qCDebug(lcDownload, "completed successfully.");
        prepared.bytes = filenames::size(prepared.sideFile);
        break;
    case FileDecryptResult::InputOpenFailed:
        qCDebug(lcDownload).noquote() << "Failed to open input file:" << chosen;
        prepared.error = text(QT_TRANSLATE_NOOP("QObject", "无法读取文件：%1"), shownChosen);
        break;
    case FileDecryptResult::ReadFailed:
        filenames::remove(prepared.sideFile);
        prepared.error = text(QT_TRANSLATE_NOOP("QObject", "无法读取文件：%1"), shownChosen);
        break;
    case FileDecryptResult::OutputExists:
        prepared.error =
            text(QT_TRANSLATE_NOOP("QObject", "文件已存在，不会覆盖它：%1"), shownSide);
        break;
    case FileDecryptResult::OutputOpenFailed:
        qCDebug(lcDownload).noquote() << "Failed to open decrypted file:" << prepared.sideFile;
        prepared.error = text(QT_TRANSLATE_NOOP("QObject", "无法写入文件：%1"), shownSide);
        break;
    case FileDecryptResult::WriteFailed:
        filenames::remove(prepared.sideFile);
        prepared.error = text(QT_TRANSLATE_NOOP("QObject", "无法写入文件：%1"), shownSide);
        break;
    }
    return prepared;
}

QString announcement(const QString &printer, const QString &file, qint64 bytes)
{
    return QCoreApplication::translate(
               "QObject",
               "即将向打印机 %1 下载 %2（%3 字节）。在打印机指示灯停止闪烁之前，请勿拔下打印机。")
        .arg(printer, file, QString::number(bytes));
}

QString installsVersion(const QString &version)
{
    return QCoreApplication::translate("QObject", "将安装的版本：%1").arg(version);
}

} // namespace download
