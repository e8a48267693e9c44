#pragma once

#include <QString>

class QWidget;

// How the form names a settings page's keys and shows their values, for tables that list
// settings by the keys of profiles and the command line ("speed" is "打印速度" there).
class FormNames
{
public:
    // `form`: the window whose form holds the pages' widgets.
    explicit FormNames(const QWidget *form) : form_(form) {}

    // The title the form gives the page ("打印设置"); the page's name when it has none.
    QString pageTitle(const QString &page) const;
    // The label of the key's field ("打印速度"), without its colon; the key when it has none.
    QString fieldLabel(const QString &page, const QString &key) const;
    // A value as the field shows it: a choice as its item in the form's list ("热敏" for
    // "thermal"); any other value as it is.
    QString shownValue(const QString &page, const QString &key, const QString &value) const;

    // The field's widget; null for a key the form has no field for.
    QWidget *fieldOf(const QString &page, const QString &key) const;

private:
    // The label next to the field, or the title of a group box holding the field alone.
    QString ownLabel(const QString &page, const QString &key) const;

    const QWidget *form_;
};
