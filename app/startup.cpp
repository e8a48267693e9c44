#include "app/startup.h"

#include <QApplication>
#include <QFont>

namespace startup {

void useFormFont()
{
    QFont font = QApplication::font();
    font.setPointSize(kFormPointSize);
    QApplication::setFont(font);
}

} // namespace startup
