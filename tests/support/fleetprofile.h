#pragma once

#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

// A profile document of a model with every page changed from the factory values, so that every
// page of every printer differs from it: the runs side by side write each page of each printer.
// Without the station password (dropPassword) each printer's Wi-Fi page keeps its own.
inline QJsonObject changeEveryPage(QJsonObject document, bool dropPassword)
{
    QJsonObject pages = document.value("pages").toObject();
    const QList<QPair<QString, QPair<QString, QString>>> changes = {
        {"print", {"speed", "4"}},
        {"distance", {"head-to-tear", "20"}},
        {"serial", {"baud-rate", "9600"}},
        {"wifi", {"station-name", "Fleet-WLAN"}},
        {"bluetooth", {"ble-name", "Fleet"}},
        {"wifi-ip", {"dns", "8.8.4.4"}},
        {"ethernet", {"tcp-port", "9101"}}};
    for (const auto &change : changes) {
        QJsonObject page = pages.value(change.first).toObject();
        QJsonObject values = page.value("values").toObject();
        values.insert(change.second.first, change.second.second);
        if (dropPassword)
            values.remove("station-password");
        page.insert("values", values);
        page.remove("wire");
        pages.insert(change.first, page);
    }
    document.insert("pages", pages);
    return document;
}
