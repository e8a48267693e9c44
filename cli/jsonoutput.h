#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

class ModelKey;

namespace pages {
class SettingsPage;
}
namespace profile {
struct Difference;
}

// What the command line writes for scripts with --json: every document an object carrying the
// schema version, numbers as numbers and booleans as booleans.
namespace cli {

// The version of the documents' layout; a change that can break a reader raises it.
constexpr int kJsonSchema = 1;

// `object` with the schema version added.
QJsonObject withSchema(QJsonObject object);
// The document of an error on standard error: {"schema":1,"exit":N,"error":"..."} and a newline.
QByteArray errorDocument(int exit, const QString &message);

// One value of a page as JSON: a number key's whole number as a number, a number or choice
// without a value as null, anything else as its text.
QJsonValue valueJson(const pages::SettingsPage &page, const QString &key, const QString &text);
// The same for a page by name, of a model (its model key): the text where no such page is.
QJsonValue valueJson(const QString &page, const ModelKey &modelKey, const QString &key,
                     const QString &text);
// Every value of a page by key, so.
QJsonObject pageValuesJson(const pages::SettingsPage &page);

// The differences diff finds, each key with both values typed as above (read-only keys marked),
// a password or PIN only as "secret" unless `secrets`.
QJsonArray differencesJson(const QList<profile::Difference> &found, const ModelKey &modelKey,
                           bool secrets);

} // namespace cli
