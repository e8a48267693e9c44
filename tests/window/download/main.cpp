// The download area's test executable.
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

QObject *createTestDownload();

int main(int argc, char **argv)
{
    // Qt's own file dialog, which the tests drive; a platform theme could put a native one in.
    qunsetenv("QT_QPA_PLATFORMTHEME");
    // A download saves the printer's settings first: there, not in the user's state directory.
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    QApplication app(argc, argv);
    QObject *test = createTestDownload();
    const int failures = QTest::qExec(test, argc, argv);
    delete test;
    return failures == 0 ? 0 : 1;
}
