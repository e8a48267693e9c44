#include "core/base/logging.h"

#include <QFile>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QStringList>

namespace logging {

namespace {

QLoggingCategory::CategoryFilter previousFilter = nullptr;
bool dataCategoryNamed = false;

// The texts Qt reads logging rules from, besides the program's own rules.
QStringList ruleTexts()
{
    QStringList texts{qEnvironmentVariable("QT_LOGGING_RULES")};
    QStringList files = QStandardPaths::locateAll(QStandardPaths::GenericConfigLocation,
                                                  QStringLiteral("QtProject/qtlogging.ini"));
    files << qEnvironmentVariable("QT_LOGGING_CONF");
    for (const QString &path : files) {
        QFile file(path);
        if (!path.isEmpty() && file.open(QIODevice::ReadOnly | QIODevice::Text))
            texts << QString::fromUtf8(file.readAll());
    }
    return texts;
}

// Whether a rule's category pattern (the text before "=", up to the message type) starts with
// the data category's name. "*.debug=true" or "labelsetup.*.debug=true" do not.
bool rulesNameDataCategory()
{
    const QString name = QLatin1String(kDownloadDataCategory);
    for (const QString &text : ruleTexts()) {
        // Rules end at a semicolon or a line end (split by hand: a regular expression would be
        // compiled on every start of the command line).
        for (const QString &rule :
             QString(text).replace(QLatin1Char(';'), QLatin1Char('\n')).split(QLatin1Char('\n'))) {
            if (rule.section(QLatin1Char('='), 0, 0).trimmed().startsWith(name))
                return true;
        }
    }
    return false;
}

void filter(QLoggingCategory *category)
{
    previousFilter(category);
    if (!dataCategoryNamed && qstrcmp(category->categoryName(), kDownloadDataCategory) == 0)
        category->setEnabled(QtDebugMsg, false);
}

} // namespace

void configure(bool verbose)
{
    dataCategoryNamed = rulesNameDataCategory();
    if (!previousFilter)
        previousFilter = QLoggingCategory::installFilter(filter);
    // Rules given here rank below the environment's and the configuration files'.
    QLoggingCategory::setFilterRules(verbose ? QStringLiteral("labelsetup.*.debug=true")
                                             : QStringLiteral("labelsetup.*.debug=false"));
}

} // namespace logging
