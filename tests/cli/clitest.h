#pragma once
// What the command-line tests share: running a command in-process, virtual printers' texts,
// files, profiles and the completion.
#include "cli/cli.h"
#include "core/crypto/aes.h"
#include "core/crypto/filedecrypt.h"
#include "core/printers/printeraccess.h"
#include "core/settings/settingspage.h"
#include "tests/support/usbfixture.h"
#include "tests/support/windowharness.h"
#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using vprinter::VirtualPrinter;

namespace clitest {

struct Result {
    int exit = -1;
    QString out;
    QString err;
};

inline Result runCli(const QStringList &arguments)
{
    Result r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.exit = cli::run(arguments, out, err);
    out.flush();
    err.flush();
    return r;
}

inline const char *const kPages[] = {"print",     "distance", "serial",  "wifi",
                              "bluetooth", "wifi-ip",  "ethernet"};

// NUL-terminated texts, as the printer keeps its text settings.
inline vprinter::Bytes texts(std::initializer_list<const char *> list)
{
    vprinter::Bytes bytes;
    for (const char *text : list)
        bytes.insert(bytes.end(), text, text + std::strlen(text) + 1);
    return bytes;
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline int modeOf(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777)
                                                                     : -1;
}

// 188 whole blocks (3008 bytes: progress 34, 68, 100), encrypted with our own routine and the
// build's key into `path`; the plain bytes.
inline QByteArray writeEncryptedSample(const QString &path)
{
    QByteArray plain(3008, '\0');
    for (int i = 0; i < plain.size(); ++i)
        plain[i] = char(i * 7 + 1);
    QByteArray encrypted = plain;
    auto *bytes = reinterpret_cast<uint8_t *>(encrypted.data());
    for (int offset = 0; offset < encrypted.size(); offset += 16)
        AES128_ECB_encrypt(bytes + offset, kDownloadFileKey, bytes + offset);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(encrypted) != encrypted.size())
        return QByteArray();
    return plain;
}

// The pages of a model with every feature: every page and key the command line knows.
inline std::vector<std::unique_ptr<pages::SettingsPage>> allPages()
{
    return pages::pagesWith(pages::Features::Extended);
}

// What bash offers for a command line typed up to its end, with the build's completion loaded.
inline QStringList completions(const QString &line)
{
    QProcess bash;
    bash.start("bash", {"-c",
                        "source \"$1\"; COMP_WORDBREAKS=$' \\t\\n\"\\'><=;|&(:'; "
                        "COMP_LINE=$2; COMP_POINT=${#COMP_LINE}; _label_printer_cli; "
                        "printf '%s\\n' \"${COMPREPLY[@]}\"",
                        "bash", LABELSETUP_COMPLETION_FILE, line});
    if (!bash.waitForFinished(60000) || bash.exitCode() != 0)
        return {"bash failed: " + QString::fromLocal8Bit(bash.readAllStandardError())};
    QStringList offered = QString::fromUtf8(bash.readAllStandardOutput()).split('\n');
    offered.removeAll(QString());
    offered.sort();
    return offered;
}

// A whole print page of a profile for the VS-608K, and a profile around pages.
inline const QByteArray kPrintPage = R"("print":
    {"values":{"speed":"1","density":"3","label-gap":"2","black-mark-gap":"3",
    "direction":"0","mirror":"normal","print-offset":"0","vertical-offset":"0",
    "print-method":"thermal","paper-type":"label","code-page":"0","language":"ZPL"}})";

inline QByteArray profileOf(const QByteArray &pages)
{
    return R"({"format":1,"model":"Orbeck VS-608K","pages":{)" + pages + "}}";
}

// The print page with a wire object.
inline QByteArray withWire(const QByteArray &wire)
{
    return profileOf(
        QByteArray(kPrintPage)
            .replace(R"("language":"ZPL"})", R"("language":"ZPL"},"wire":{)" + wire + "}"));
}

} // namespace clitest

using namespace clitest;
