#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QTimer>

// One message box as the user saw it.
struct CaughtBox {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QStringList buttonTexts; // as shown, in the language of the catalogues installed
};

// Records and closes every modal message box that opens while it lives, the way a user would
// press its Ok button (or answer a question). Slots that show a box block in its event loop; the
// catcher's timer runs inside that loop.
class MessageBoxCatcher : public QObject
{
    Q_OBJECT
public:
    MessageBoxCatcher();
    const QList<CaughtBox> &boxes() const { return boxes_; }
    // Questions (boxes with Yes and No) are kept apart and answered with `answer`.
    const QList<CaughtBox> &questions() const { return questions_; }
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    // The one box shown since the last take(); fails the current test when there was not exactly
    // one.
    CaughtBox takeOne();
    void clear() { boxes_.clear(); }

private:
    void poll();
    QTimer timer_;
    QList<CaughtBox> boxes_;
    QList<CaughtBox> questions_;
};
