// The profile menu's test executable: every test class of it, one after the other.
#include <QApplication>
#include <QTest>

QObject *createTestApplyToAll();
QObject *createTestCompareTable();

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failures = 0;
    for (auto create : {createTestApplyToAll, createTestCompareTable}) {
        QObject *test = create();
        failures += QTest::qExec(test, argc, argv);
        delete test;
    }
    return failures == 0 ? 0 : 1;
}
