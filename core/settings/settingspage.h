#pragma once

#include "core/printers/modelkey.h"
#include "core/printers/supportedprinters.h"
#include "core/settings/pagefields.h"
#include "core/settings/setcommand.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

struct PrinterHandle;

// A settings page as the command line and printer profiles see it: named values that can be
// read from a printer, changed by key and written back, on top of the page codecs and the same
// reads and write sequences the window uses.
namespace pages {

using KeyValues = QList<QPair<QString, QString>>;

// What a key takes, as the page checks it: for help texts and shell completion.
struct KeyDescription {
    enum class Kind {
        Choice,   // one of `choices`
        Number,   // a whole number in `range` (min and max as typed), in `unit`
        Text,     // any text the printer can store
        Address,  // a dotted IPv4 address
        Mask,     // a dotted subnet mask: ones, then zeros
        ReadOnly, // what the printer reported; not written
    };
    QString key;
    Kind kind = Kind::Text;
    QStringList choices;
    NumberRange range{0, 0, 1};
    QString unit; // "mm", "dot" or empty
    QString note; // what the choices mean, where they are codes; empty otherwise
};

class SettingsPage
{
public:
    virtual ~SettingsPage() = default;

    // "print", "distance", "serial", "wifi", "bluetooth", "wifi-ip" or "ethernet".
    virtual QString name() const = 0;
    // The same page with the same values (what a read showed, and what was changed since).
    virtual std::unique_ptr<SettingsPage> clone() const = 0;

    // Reads the page from the printer over the values held; 0 or the first failed result.
    virtual int read(PrinterHandle *handle) = 0;

    // Every value by key, in the page's order. A box without an item shows as "".
    virtual KeyValues values() const = 0;
    // The keys that can be changed (the others only show what the printer reported).
    virtual QStringList writableKeys() const = 0;
    // Every key in the page's order, with what it takes.
    virtual std::vector<KeyDescription> keys() const = 0;
    // Changes one value; an error text naming the key when the key is unknown, read-only or the
    // value is not one it takes. Numbers are checked by validate().
    virtual std::optional<QString> set(const QString &key, const QString &value) = 0;

    // Values as the printer sent them, so that a profile written back sends exactly what was
    // read: number fields (dots for millimetre fields) and selectors whose index lies beyond
    // their list (shown as "").
    virtual QMap<QString, qint64> wireValues() const = 0;
    // The wire values a field can hold: 16 bits for a number field (unsigned where it takes no
    // negative number), the index byte for a selector; nullopt for a field without one.
    virtual std::optional<QPair<qint64, qint64>> wireRange(const QString &key) const = 0;
    // Takes a wire value within wireRange(key) back from a profile, together with the text the
    // profile shows for it, when that text is how the field shows the value; false, changing
    // nothing, otherwise (the text then goes through set()).
    virtual bool setWireValue(const QString &key, qint64 value, const QString &shownAs) = 0;

    // Whether this page and `other` (the same page) hold the same value for `key`, however it is
    // typed: "-0" and "0", "09100" and "9100" are the same value.
    virtual bool sameValue(const QString &key, const SettingsPage &other) const = 0;

    // What a write would refuse, before anything is sent.
    virtual std::optional<Refusal> validate() const = 0;
    // Whether one value is one its field can take, judged on its own: also for a value the
    // write would not send with the page as it stands (the access point's address in station
    // mode), so that nothing given is taken unchecked.
    virtual std::optional<Refusal> checkValue(const QString &key) const = 0;
    // The frames of a write in their order (a skipped one sends nothing): the page codec's
    // writeCommands(), which the window's write buttons send too. Call validate() first.
    virtual std::vector<SetCommand> commands() const = 0;
    // Sends commands() in order, every one attempted; 0 or the first failed result.
    int write(PrinterHandle *handle) const;
};

// The pages a model offers, as the model-support gate decides for the window: none for a locked
// model, the Ethernet page and the print method only for an extended one.
std::vector<std::unique_ptr<SettingsPage>> pagesForModel(const ModelKey &modelKey);
// The pages of a model with this offer.
std::vector<std::unique_ptr<SettingsPage>> pagesWith(const supportedprinters::Offer &offer);
// The pages of a model without the extended features and of one with them: every page and key
// there is, for help texts and shell completion.
enum class Features { Basic, Extended };
std::vector<std::unique_ptr<SettingsPage>> pagesWith(Features features);
// One page by name, for a model; null when the model does not offer it or no page has the name.
std::unique_ptr<SettingsPage> pageNamed(const QString &name, const ModelKey &modelKey);
QStringList pageNames();

// One value of a page by key ("" when the page has no such key).
QString valueOf(const SettingsPage &page, const QString &key);
// The frames a write of the page would send, skipped ones left out.
QList<QByteArray> framesOf(const SettingsPage &page);

} // namespace pages
