#include "tests/window/form/tscatalogue.h"

#include <QFile>
#include <QXmlStreamReader>

namespace {

void readMessage(QXmlStreamReader &xml, const QString &context, TsCatalogue &catalogue)
{
    TsMessage message;
    message.context = context;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            message.translationType = xml.attributes().value(QLatin1String("type")).toString();
            message.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else {
            xml.skipCurrentElement();
        }
    }
    catalogue.messages << message;
}

void readContext(QXmlStreamReader &xml, TsCatalogue &catalogue)
{
    QString name;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("name"))
            name = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            readMessage(xml, name, catalogue);
        else
            xml.skipCurrentElement();
    }
}

} // namespace

TsCatalogue readTsCatalogue(const QString &path)
{
    TsCatalogue catalogue;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        catalogue.error = file.errorString();
        return catalogue;
    }
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("TS")) {
        catalogue.error = QStringLiteral("not a TS file");
        return catalogue;
    }
    catalogue.language = xml.attributes().value(QLatin1String("language")).toString();
    catalogue.sourceLanguage = xml.attributes().value(QLatin1String("sourcelanguage")).toString();
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("context"))
            readContext(xml, catalogue);
        else
            xml.skipCurrentElement();
    }
    if (xml.hasError())
        catalogue.error = xml.errorString();
    return catalogue;
}
