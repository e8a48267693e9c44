#pragma once

#include "core/history/action.h"

#include <QDialog>
#include <functional>

class QTableWidget;
class QPushButton;

// A printer's history, newest first: one row an action (number, time, action, outcome, the keys it
// changed with their values before and after) and an undo for the selected action.
class HistoryDialog : public QDialog
{
public:
    HistoryDialog(QWidget *parent, const QString &heading);
    void setEntries(const QList<history::Entry> &entries);
    // Called with the selected action when undo is pressed.
    std::function<void(const history::Entry &)> undo;

private:
    void updateUndo();
    QTableWidget *table_;
    QPushButton *undoButton_;
    QList<history::Entry> entries_;
};
