#pragma once

#include <QString>

// A printer model as the list row names it: the row text up to the first "USB", that is brand,
// blank, product string and the blank before "USB" ("Zurod RM-310 "). Models are told apart by
// this text exactly, letter case and blanks included; a row without "USB" names no model (the
// empty key), which the table does not name either.
class ModelKey
{
public:
    ModelKey() = default;
    // The model of a printer list row, "<brand> <product> USB00<port>" with anything after.
    static ModelKey ofRow(const QString &rowText);
    // The model as profiles and messages name it ("Orbeck VS-608K").
    static ModelKey named(const QString &name);
    // A brand's product, as its printers' rows would name it.
    static ModelKey of(const QString &brand, const QString &product);

    // The key as the model-support gate compares and logs it, ending in a blank.
    const QString &text() const { return text_; }
    // "Orbeck VS-608K": without the blanks around it.
    QString name() const { return text_.trimmed(); }
    // The first word of the name, and the rest of it.
    QString brand() const;
    QString product() const;
    bool isEmpty() const { return text_.isEmpty(); }

    bool operator==(const ModelKey &other) const { return text_ == other.text_; }
    bool operator!=(const ModelKey &other) const { return text_ != other.text_; }

private:
    explicit ModelKey(QString text) : text_(std::move(text)) {}
    QString text_;
};
