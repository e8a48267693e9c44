// The window area's test executable: every test class of the window, one after the other.
#include <QApplication>
#include <QTest>

QObject *createTestMainWindow();
QObject *createTestPrinterWindow();
QObject *createTestSettingsPages();
QObject *createTestNetworkPages();
QObject *createTestPrinterIdentity();
QObject *createTestPrinterPlugs();
QObject *createTestProfileMenu();
QObject *createTestStatusLine();

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failures = 0;
    for (auto create : {createTestMainWindow, createTestPrinterWindow, createTestSettingsPages,
                        createTestNetworkPages, createTestPrinterIdentity, createTestPrinterPlugs,
                        createTestProfileMenu, createTestStatusLine}) {
        QObject *test = create();
        failures += QTest::qExec(test, argc, argv);
        delete test;
    }
    return failures == 0 ? 0 : 1;
}
