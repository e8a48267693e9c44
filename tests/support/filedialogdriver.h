#pragma once

#include "tests/support/waits.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>

// Answers the next file dialog the way a user would: types `path` into its file-name field and
// accepts (or cancels when `path` is empty), after noting what the dialog showed. `beforeAccept`
// runs just before the choice is made. A dialog still open kEventTimeoutMs after the choice fails
// the current test and is cancelled.
class FileDialogDriver : public QObject
{
public:
    explicit FileDialogDriver(QString path) : path_(std::move(path))
    {
        connect(&timer_, &QTimer::timeout, this, &FileDialogDriver::poll);
        timer_.start(10);
    }

    QString title;
    QStringList filters;
    bool hadParent = false;
    int shown = 0;
    std::function<void()> beforeAccept;

private:
    void poll()
    {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        if (dialog == answered_) {
            if (sinceAnswer_.elapsed() < kEventTimeoutMs)
                return;
            auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QTest::qFail(qPrintable(QStringLiteral("the file dialog was still open %1 ms after "
                                                   "%2 was typed and accepted (field: \"%3\")")
                                        .arg(sinceAnswer_.elapsed())
                                        .arg(path_, field ? field->text() : QString())),
                         __FILE__, __LINE__);
            dialog->reject();
            return;
        }
        answered_ = dialog;
        sinceAnswer_.start();
        ++shown;
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        hadParent = dialog->parentWidget() != nullptr;
        if (path_.isEmpty()) {
            dialog->reject();
            return;
        }
        // Whatever has the focus and whether or not the directory is listed yet: the typed
        // absolute path is what the dialog takes.
        auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!field) {
            QTest::qFail("the file dialog has no file-name field", __FILE__, __LINE__);
            dialog->reject();
            return;
        }
        field->setText(path_);
        if (beforeAccept)
            beforeAccept();
        QMetaObject::invokeMethod(dialog,
                                  "accept"); // protected in QFileDialog, a slot all the same
    }

    QString path_;
    QTimer timer_;
    QPointer<QFileDialog> answered_;
    QElapsedTimer sinceAnswer_;
};
