#pragma once

#include <QList>
#include <QString>

// One message of a Qt Linguist TS file.
struct TsMessage {
    QString context;
    QString source;
    QString translation;
    QString translationType; // "unfinished", "obsolete", "vanished" or empty for a finished one
};

struct TsCatalogue {
    QString language;
    QString sourceLanguage;
    QList<TsMessage> messages;
    QString error; // empty when the file was read completely
};

// Reads a TS file (as lupdate writes it or as it is kept in the source tree).
TsCatalogue readTsCatalogue(const QString &path);
