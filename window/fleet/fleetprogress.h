#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;

namespace fleet {
class Run;
}

// What a run over many printers is doing, a row per printer: its USB path, a progress bar and
// what it does now, then how it ended. Cancel stops the run: each printer finishes the page in
// flight and stops (a page half written cannot be taken back), the printers not started are left
// alone; the dialog closes by itself once every printer has ended.
class FleetProgressDialog : public QDialog
{
    Q_OBJECT

public:
    // The text of a printer's row once its job has ended (run.at(index) is final then).
    using EndText = std::function<QString(int index)>;

    // `run` holds the printers already, in the order of the rows; it may be running.
    FleetProgressDialog(QWidget *parent, fleet::Run &run, const QString &heading, EndText endText);

    // Shows the dialog until the run is idle (at once when it is). Cancel stops it.
    void runUntilIdle();

    // For the tests: the text of a printer's row and its progress bar.
    QString rowText(int index) const;
    const QProgressBar *bar(int index) const;
    QPushButton *cancelButton() const { return cancel_; }

protected:
    // Escape is a Cancel too: the dialog stays until every printer has ended.
    void reject() override { cancel(); }

private:
    struct Row {
        QLabel *state = nullptr;
        QProgressBar *bar = nullptr;
    };
    void cancel();

    fleet::Run &run_;
    EndText endText_;
    std::vector<Row> rows_;
    QPushButton *cancel_ = nullptr;
};
