#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>
#include <functional>

// Answers the next file dialog the way a user would: picks `path` (or cancels when it is empty),
// after noting what the dialog showed. `beforeAccept` runs just before the choice is made.
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
    bool refused = false; // the dialog would not accept the path
    std::function<void()> beforeAccept;

private:
    void poll()
    {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        if (dialog == answered_) {
            // Qt's dialog may take a moment over a directory it has not listed yet; one that
            // still shows after a second did not take the choice.
            if (++pollsSinceAnswer_ < 100)
                return;
            refused = true;
            dialog->reject();
            return;
        }
        pollsSinceAnswer_ = 0;
        answered_ = dialog;
        ++shown;
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        hadParent = dialog->parentWidget() != nullptr;
        if (path_.isEmpty()) {
            dialog->reject();
            return;
        }
        const QFileInfo file(path_);
        dialog->setDirectory(file.absolutePath());
        dialog->selectFile(file.fileName());
        if (beforeAccept)
            beforeAccept();
        QMetaObject::invokeMethod(dialog,
                                  "accept"); // protected in QFileDialog, a slot all the same
    }

    QString path_;
    QTimer timer_;
    QFileDialog *answered_ = nullptr;
    int pollsSinceAnswer_ = 0;
};
