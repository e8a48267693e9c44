#include "tests/support/messageboxcatcher.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

MessageBoxCatcher::MessageBoxCatcher()
{
    connect(&timer_, &QTimer::timeout, this, &MessageBoxCatcher::poll);
    timer_.start(5);
}

void MessageBoxCatcher::poll()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    CaughtBox caught;
    caught.icon = box->icon();
    caught.title = box->windowTitle();
    caught.text = box->text();
    caught.buttons = box->standardButtons();
    if (QPushButton *d = box->defaultButton())
        caught.defaultButton = box->standardButton(d);
    for (const QAbstractButton *button : box->buttons())
        caught.buttonTexts << button->text();
    if (box->button(QMessageBox::Yes) && box->button(QMessageBox::No)) {
        questions_ << caught;
        if (QAbstractButton *chosen = box->button(answer))
            chosen->click();
        else
            box->reject();
        return;
    }
    boxes_ << caught;
    QAbstractButton *ok = box->button(QMessageBox::Ok);
    if (ok)
        ok->click();
    else
        box->reject();
}

CaughtBox MessageBoxCatcher::takeOne()
{
    if (boxes_.size() != 1) {
        QStringList texts;
        for (const CaughtBox &b : boxes_)
            texts << b.text;
        QTest::qFail(qPrintable(QStringLiteral("expected one message box, saw %1: %2")
                                    .arg(boxes_.size())
                                    .arg(texts.join(" | "))),
                     __FILE__, __LINE__);
        boxes_.clear();
        return {};
    }
    return boxes_.takeFirst();
}
