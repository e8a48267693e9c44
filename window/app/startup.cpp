#include "window/app/startup.h"

#include "window/app/mainwindow.h"

#include <QApplication>
#include <QFont>

namespace startup {

void useFormFont()
{
    QFont font = QApplication::font();
    font.setPointSize(kFormPointSize);
    QApplication::setFont(font);
}

std::unique_ptr<translation::Catalogues> prepareApplication()
{
    QGuiApplication::setDesktopFileName(QStringLiteral("label-printer-setup"));
    auto catalogues = std::make_unique<translation::Catalogues>();
    useFormFont();
    return catalogues;
}

void showWindow(MainWindow &window)
{
    window.setWindowTitle(QObject::tr("标签机设置工具"));
    window.show();
}

} // namespace startup
