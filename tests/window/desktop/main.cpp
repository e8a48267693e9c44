// The desktop area's test executable.
#include <QApplication>
#include <QTest>

QObject *createTestDesktop();

int main(int argc, char **argv)
{
    // Qt's own file dialog, whose texts the tests read; a platform theme could put a native one in.
    qunsetenv("QT_QPA_PLATFORMTHEME");
    QApplication app(argc, argv);
    QObject *test = createTestDesktop();
    const int failures = QTest::qExec(test, argc, argv);
    delete test;
    return failures == 0 ? 0 : 1;
}
