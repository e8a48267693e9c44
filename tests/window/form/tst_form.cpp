// The main window's form as the rest of the program and the user see it: object names and kinds,
// texts in both languages, combo items, address masks, icons, initial states, the English
// catalogue and whether every text fits its widget.
#include "window/app/mainwindow.h"
#include "tests/window/form/formcontract.h"
#include "tests/window/form/tscatalogue.h"
#include "tests/support/waits.h"
#include "ui_mainwindow.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHash>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QProcess>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolBox>
#include <QTranslator>

#include <memory>

namespace {

const QString kCataloguePath =
    QStringLiteral(LABELSETUP_SOURCE_DIR "/resources/translations/language_en.ts");
const QString kCompiledCatalogue = QStringLiteral(":/translations/language_en.qm");

QString u(const char *text) { return QString::fromUtf8(text); }

template <typename T> T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(QString::fromLatin1(name));
}

// The English catalogue installed for the lifetime of the object; windows built meanwhile come
// out in English.
class EnglishCatalogue
{
public:
    EnglishCatalogue()
    {
        loaded_ = translator_.load(kCompiledCatalogue);
        if (loaded_)
            QCoreApplication::installTranslator(&translator_);
    }
    ~EnglishCatalogue()
    {
        if (loaded_)
            QCoreApplication::removeTranslator(&translator_);
    }
    bool loaded() const { return loaded_; }

private:
    QTranslator translator_;
    bool loaded_ = false;
};

// A main window built in Chinese or, with the catalogue installed first, in English.
struct Session {
    explicit Session(bool english)
        : catalogue(english ? std::make_unique<EnglishCatalogue>() : nullptr),
          window(std::make_unique<MainWindow>())
    {
    }
    bool ready() const { return !catalogue || catalogue->loaded(); }

    std::unique_ptr<EnglishCatalogue> catalogue;
    std::unique_ptr<MainWindow> window;
};

QString textAt(QWidget *window, const TextRow &row)
{
    const QString name = QString::fromLatin1(row.object);
    switch (row.slot) {
    case TextSlot::Text:
        if (auto *label = window->findChild<QLabel *>(name))
            return label->text();
        if (auto *button = window->findChild<QAbstractButton *>(name))
            return button->text();
        break;
    case TextSlot::Title:
        if (auto *group = window->findChild<QGroupBox *>(name))
            return group->title();
        break;
    case TextSlot::TabTitle: {
        auto *tabs = child<QTabWidget>(window, "tabWidget_2");
        auto *page = window->findChild<QWidget *>(name);
        if (tabs && page && tabs->indexOf(page) >= 0)
            return tabs->tabText(tabs->indexOf(page));
        break;
    }
    case TextSlot::PageTitle: {
        auto *box = child<QToolBox>(window, "toolBox");
        auto *page = window->findChild<QWidget *>(name);
        if (box && page && box->indexOf(page) >= 0)
            return box->itemText(box->indexOf(page));
        break;
    }
    case TextSlot::Item:
        if (auto *combo = window->findChild<QComboBox *>(name))
            return combo->itemText(row.index);
        break;
    }
    return QStringLiteral("<no such text>");
}

QStringList itemsOf(QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

using MessageKey = QPair<QString, QString>; // context, source

QHash<MessageKey, QString> byKey(const TsCatalogue &catalogue)
{
    QHash<MessageKey, QString> messages;
    for (const TsMessage &m : catalogue.messages)
        messages.insert({m.context, m.source}, m.translation);
    return messages;
}

// Every text the program's sources hand to the translator, as lupdate finds them. Build
// directories (those holding a CMakeCache.txt) and the folders of tests, benchmarks and the
// virtual printer are not part of the program.
QSet<MessageKey> runLupdate(QString *error)
{
    const QDir root(QStringLiteral(LABELSETUP_SOURCE_DIR));
    const QStringList skipped = {"tests", "bench", "sim", "cmake", "docs", "resources"};
    QStringList args = {"-silent", "-no-obsolete", "-locations", "none"};
    for (const QFileInfo &dir : root.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (skipped.contains(dir.fileName()) || dir.fileName().startsWith(QLatin1Char('.')) ||
            QFileInfo::exists(dir.filePath() + QStringLiteral("/CMakeCache.txt")))
            continue;
        args << dir.filePath();
    }
    QTemporaryDir scratch;
    const QString extracted = scratch.filePath(QStringLiteral("extracted.ts"));
    args << QStringLiteral("-ts") << extracted;

    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(LABELSETUP_LUPDATE), args);
    if (!lupdate.waitForFinished(120000) || lupdate.exitStatus() != QProcess::NormalExit ||
        lupdate.exitCode() != 0) {
        *error = QStringLiteral("lupdate failed: ") + lupdate.errorString() + QLatin1Char(' ') +
                 QString::fromLocal8Bit(lupdate.readAll());
        return {};
    }
    const TsCatalogue used = readTsCatalogue(extracted);
    if (!used.error.isEmpty()) {
        *error = used.error;
        return {};
    }
    QSet<MessageKey> keys;
    for (const TsMessage &m : used.messages)
        keys.insert({m.context, m.source});
    return keys;
}

QSet<MessageKey> textsUsedBySources(QString *error)
{
    static QString lastError;
    static const QSet<MessageKey> used = runLupdate(&lastError);
    *error = lastError;
    return used;
}

// Widgets whose content must be readable in full: texts not cut off, fields not squeezed.
QStringList squeezedWidgets(QWidget *window)
{
    QStringList squeezed;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisible() || w->objectName().isEmpty() ||
            w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        const auto *label = qobject_cast<QLabel *>(w);
        const auto *combo = qobject_cast<QComboBox *>(w);
        if (!label && !combo && !qobject_cast<QAbstractButton *>(w) &&
            !qobject_cast<QLineEdit *>(w) && !qobject_cast<QGroupBox *>(w))
            continue;
        QSize needed = w->minimumSizeHint();
        if (label && label->wordWrap())
            needed.setHeight(label->heightForWidth(label->width()));
        else if (label || combo || qobject_cast<QAbstractButton *>(w))
            needed.setWidth(w->sizeHint().width());
        if (w->width() < needed.width() || w->height() < needed.height())
            squeezed << QStringLiteral("%1 %2x%3 needs %4x%5")
                            .arg(w->objectName())
                            .arg(w->width())
                            .arg(w->height())
                            .arg(needed.width())
                            .arg(needed.height());
    }
    return squeezed;
}

} // namespace

class TestForm : public QObject
{
    Q_OBJECT
private slots:
    void window();
    void leftColumnDoesNotOverlap();
    void widgets_data();
    void widgets();
    void tabAndPageOrder_data();
    void tabAndPageOrder();
    void chineseTexts_data();
    void chineseTexts();
    void comboItems_data();
    void comboItems();
    void addressFields_data();
    void addressFields();
    void otherFieldsUnrestricted();
    void formBuilderSelections();
    void constructedState();
    void initialEnabledStates_data();
    void initialEnabledStates();
    void buttonIcons_data();
    void buttonIcons();
    void iconResources_data();
    void iconResources();
    void englishTexts_data();
    void englishTexts();
    void englishComboItems_data();
    void englishComboItems();
    void messageTexts_data();
    void messageTexts();
    void catalogueEntriesAreFinished();
    void compiledCatalogueMatchesSource();
    void catalogueCoversEverySourceText();
    void textsFit_data();
    void textsFit();
    void layoutFollowsTheWindow_data();
    void layoutFollowsTheWindow();
};

void TestForm::window()
{
    MainWindow window;
    QCOMPARE(window.objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(window.size(), QSize(790, 656));
    QCOMPARE(window.windowTitle(), QStringLiteral("MainWindow"));
    QVERIFY(window.centralWidget());
    QCOMPARE(window.centralWidget()->objectName(), QStringLiteral("centralwidget"));
    // QMainWindow::statusBar() would create one; look for the form's own instead.
    const auto bars = window.findChildren<QStatusBar *>();
    QCOMPARE(bars.size(), 1);
    QCOMPARE(bars.first()->objectName(), QStringLiteral("statusbar"));
    // One menu, for printer profiles; no toolbar.
    const auto menus = window.findChildren<QMenuBar *>();
    QCOMPARE(menus.size(), 1);
    QCOMPARE(window.menuWidget(), menus.first());
    QStringList actions;
    for (const QAction *menu : menus.first()->actions()) {
        actions << menu->text();
        for (const QAction *action : menu->menu()->actions())
            actions << action->objectName();
    }
    QCOMPARE(actions, (QStringList{"配置文件", "actionSaveProfile", "actionCompareProfile",
                                   "actionApplyProfile", "actionApplyProfileToModel",
                                   "actionHistory"}));
    QVERIFY(window.findChildren<QToolBar *>().isEmpty());
    // Laid out, the tabs stand right of the left column, 10 pixels from the top and the bottom.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), QSize(790, 656));
    QCOMPARE(child<QTabWidget>(&window, "tabWidget_2")->geometry(),
             QRect(270, 10, 511, window.centralWidget()->height() - 20));
}

void TestForm::leftColumnDoesNotOverlap()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, kEventTimeoutMs));
    QWidget *central = window.centralWidget();
    const QList<QWidget *> placed =
        central->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    QVERIFY(placed.size() >= 7);
    for (QWidget *w : placed) {
        QVERIFY2(central->rect().contains(w->geometry()), qPrintable(w->objectName()));
        if (w->objectName() != QLatin1String("tabWidget_2")) {
            QVERIFY2(w->x() >= 10 && w->geometry().right() < 250, qPrintable(w->objectName()));
        }
        for (QWidget *other : placed) {
            if (other != w)
                QVERIFY2(!w->geometry().intersects(other->geometry()),
                         qPrintable(w->objectName() + " overlaps " + other->objectName()));
        }
    }
    // Top to bottom: the medium title, the check boxes, the information group, the list, then
    // the two buttons side by side.
    const auto y = [&](const char *name) {
        return child<QWidget>(&window, name)->mapTo(central, QPoint(0, 0)).y();
    };
    QVERIFY(y("label_100") < y("checkBox"));
    QVERIFY(y("checkBox") < y("checkBox_3"));
    QVERIFY(y("checkBox_3") < y("groupBox_2"));
    QVERIFY(y("groupBox_2") < y("listWidget"));
    QVERIFY(y("listWidget") < y("pushButton_6"));
    QCOMPARE(y("pushButton"), y("pushButton_6"));
    QVERIFY(child<QWidget>(&window, "pushButton")->x() >
            child<QWidget>(&window, "pushButton_6")->x());
}

void TestForm::widgets_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("container");
    for (const WidgetRow &row : kWidgets)
        QTest::newRow(row.name) << QString::fromLatin1(row.name)
                                << QString::fromLatin1(row.className)
                                << QString::fromLatin1(row.container);
}

void TestForm::widgets()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, container);
    MainWindow window;
    const QList<QWidget *> found = window.findChildren<QWidget *>(name);
    QCOMPARE(found.size(), 1);
    QWidget *widget = found.first();
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
    QWidget *ancestor = widget->parentWidget();
    while (ancestor && ancestor->objectName() != container)
        ancestor = ancestor->parentWidget();
    QVERIFY2(ancestor, qPrintable(name + " is not inside " + container));
}

void TestForm::tabAndPageOrder_data()
{
    QTest::addColumn<QString>("container");
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("index");
    const char *tabs[] = {"tab_7", "tab_8", "tab"};
    for (int i = 0; i < 3; ++i)
        QTest::addRow("tabWidget_2 %d", i) << "tabWidget_2" << tabs[i] << i;
    const char *pages[] = {"page_5", "page_2", "page_6", "page_7", "page_3", "page_4", "page"};
    for (int i = 0; i < 7; ++i)
        QTest::addRow("toolBox %d", i) << "toolBox" << pages[i] << i;
}

void TestForm::tabAndPageOrder()
{
    QFETCH(QString, container);
    QFETCH(QString, page);
    QFETCH(int, index);
    MainWindow window;
    QWidget *pageWidget = window.findChild<QWidget *>(page);
    QVERIFY(pageWidget);
    if (auto *tabs = window.findChild<QTabWidget *>(container)) {
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->indexOf(pageWidget), index);
    } else {
        auto *box = window.findChild<QToolBox *>(container);
        QVERIFY(box);
        QCOMPARE(box->count(), 7);
        QCOMPARE(box->indexOf(pageWidget), index);
    }
}

void TestForm::chineseTexts_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(kTexts)); ++i)
        QTest::addRow("%s %d", kTexts[i].object, kTexts[i].index) << i;
}

void TestForm::chineseTexts()
{
    QFETCH(int, row);
    MainWindow window;
    QCOMPARE(textAt(&window, kTexts[row]), u(kTexts[row].chinese));
}

void TestForm::comboItems_data()
{
    QTest::addColumn<QString>("combo");
    QTest::addColumn<QStringList>("items");
    for (const ComboRow &row : comboRows())
        QTest::newRow(row.name) << QString::fromLatin1(row.name) << row.chinese;
}

void TestForm::comboItems()
{
    QFETCH(QString, combo);
    QFETCH(QStringList, items);
    MainWindow window;
    auto *box = window.findChild<QComboBox *>(combo);
    QVERIFY(box);
    QVERIFY(!box->isEditable());
    QCOMPARE(itemsOf(box), items);
}

void TestForm::addressFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("english");
    for (bool english : {false, true})
        for (const char *name : kAddressFields)
            QTest::addRow("%s %s", english ? "en" : "zh", name)
                << QString::fromLatin1(name) << english;
}

void TestForm::addressFields()
{
    QFETCH(QString, field);
    QFETCH(bool, english);
    Session session(english);
    QVERIFY(session.ready());
    auto *edit = session.window->findChild<QLineEdit *>(field);
    QVERIFY(edit);
    QCOMPARE(edit->inputMask(), QStringLiteral("000.000.000.000"));
    QCOMPARE(edit->text(), QStringLiteral("..."));
    // A typed address reads back with its dots; an untouched group stays empty.
    edit->setFocus();
    edit->setCursorPosition(0);
    QTest::keyClicks(edit, QStringLiteral("192168"));
    QCOMPARE(edit->text(), QStringLiteral("192.168.."));
}

void TestForm::otherFieldsUnrestricted()
{
    MainWindow window;
    QSet<QString> masked;
    for (const char *name : kAddressFields)
        masked.insert(QString::fromLatin1(name));
    const auto edits = window.findChildren<QLineEdit *>();
    int checked = 0;
    for (QLineEdit *edit : edits) {
        if (edit->objectName().startsWith(QLatin1String("qt_")) ||
            qobject_cast<QComboBox *>(edit->parentWidget()))
            continue;
        ++checked;
        if (masked.contains(edit->objectName()))
            continue;
        QVERIFY2(edit->inputMask().isEmpty(), qPrintable(edit->objectName()));
        QVERIFY2(!edit->validator(), qPrintable(edit->objectName()));
        QVERIFY2(edit->maxLength() == 32767, qPrintable(edit->objectName()));
        QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
    }
    QCOMPARE(checked, 34); // every line edit of the form
}

void TestForm::formBuilderSelections()
{
    QMainWindow window;
    Ui::MainWindow form;
    form.setupUi(&window);
    QCOMPARE(form.tabWidget_2->currentIndex(), 2);
    QCOMPARE(form.tabWidget_2->currentWidget(), form.tab);
    QCOMPARE(form.toolBox->currentIndex(), 0);
    QCOMPARE(form.comboBox_20->currentIndex(), 0);
    QCOMPARE(form.comboBox_8->currentIndex(), 0);
    QCOMPARE(form.comboBox->currentText(), QStringLiteral("0"));
    QCOMPARE(form.progressBar->value(), 24);
    QCOMPARE(form.label_100->font().pointSize(), 11);
}

void TestForm::constructedState()
{
    MainWindow window;
    auto *tabs = child<QTabWidget>(&window, "tabWidget_2");
    QCOMPARE(tabs->currentIndex(), 2);
    for (int i = 0; i < tabs->count(); ++i)
        QVERIFY(tabs->isTabEnabled(i));
    auto *box = child<QToolBox>(&window, "toolBox");
    QCOMPARE(box->currentIndex(), 0);
    for (int i = 0; i < box->count(); ++i)
        QVERIFY(box->isItemEnabled(i));
    QCOMPARE(box->itemText(5), u("网口设置"));
    QCOMPARE(child<QComboBox>(&window, "comboBox_20")->currentIndex(), 0);
    QCOMPARE(child<QComboBox>(&window, "comboBox_8")->currentIndex(), 0);
    QCOMPARE(child<QComboBox>(&window, "comboBox")->currentText(), QStringLiteral("0"));
    QCOMPARE(child<QProgressBar>(&window, "progressBar")->value(), 0);
    QVERIFY(child<QAbstractButton>(&window, "checkBox")->isChecked());
    QVERIFY(!child<QAbstractButton>(&window, "checkBox_2")->isChecked());
    QVERIFY(!child<QAbstractButton>(&window, "checkBox_3")->isChecked());
    QCOMPARE(child<QListWidget>(&window, "listWidget")->count(), 0);
}

void TestForm::initialEnabledStates_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");
    const char *disabled[] = {// interface indicators
                              "checkBox", "checkBox_2", "checkBox_3",
                              // display-only fields
                              "lineEdit_7", "lineEdit_31", "lineEdit_32", "lineEdit_49", "lineEdit",
                              "lineEdit_39", "lineEdit_8", "lineEdit_2",
                              // print method, until the model gate allows it
                              "comboBox_9", "label_41",
                              // write buttons, until their page has been read
                              "pushButton_18", "pushButton_14", "pushButton_24", "pushButton_26",
                              "pushButton_30", "pushButton_28"};
    for (const char *name : disabled)
        QTest::addRow("%s disabled", name) << QString::fromLatin1(name) << false;
    const char *enabled[] = {
        "comboBox_23",   "label_37",      "pushButton_32", "pushButton_13", "pushButton_31",
        "pushButton_17", "pushButton_23", "pushButton_25", "pushButton_33", "pushButton_27",
        "pushButton_6",  "pushButton",    "pushButton_34", "pushButton_35", "listWidget",
        "lineEdit_43",   "lineEdit_6",    "lineEdit_47",   "lineEdit_37",   "lineEdit_12",
        "comboBox",      "comboBox_15",   "progressBar",   "pushButton_4",  "pushButton_15"};
    for (const char *name : enabled)
        QTest::addRow("%s enabled", name) << QString::fromLatin1(name) << true;
}

void TestForm::initialEnabledStates()
{
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    MainWindow window;
    QWidget *widget = window.findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->isEnabled(), enabled);
}

void TestForm::buttonIcons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("resource");
    for (const IconRow &row : kButtonIcons)
        QTest::newRow(row.button) << QString::fromLatin1(row.button)
                                  << QString::fromLatin1(row.resource);
}

void TestForm::buttonIcons()
{
    QFETCH(QString, button);
    QFETCH(QString, resource);
    MainWindow window;
    auto *widget = window.findChild<QAbstractButton *>(button);
    QVERIFY(widget);
    QVERIFY(!widget->icon().isNull());
    const QImage shown = widget->icon().pixmap(QSize(32, 32)).toImage();
    const QImage expected = QIcon(resource).pixmap(QSize(32, 32)).toImage();
    QVERIFY(!expected.isNull());
    QCOMPARE(shown, expected);
}

void TestForm::iconResources_data()
{
    QTest::addColumn<QString>("resource");
    for (const char *path : kIconResources)
        QTest::newRow(path) << QString::fromLatin1(path);
}

void TestForm::iconResources()
{
    QFETCH(QString, resource);
    const QPixmap pixmap(resource);
    QVERIFY(!pixmap.isNull());
    QVERIFY(pixmap.width() >= 32 && pixmap.width() == pixmap.height());
    QVERIFY(!QIcon(resource).isNull());
    // Not a blank square: some pixels are drawn.
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            drawn += qAlpha(image.pixel(x, y)) > 0;
    QVERIFY(drawn > image.width() * image.height() / 10);
}

void TestForm::englishTexts_data() { chineseTexts_data(); }

void TestForm::englishTexts()
{
    QFETCH(int, row);
    Session english(true);
    QVERIFY(english.ready());
    QCOMPARE(textAt(english.window.get(), kTexts[row]), u(kTexts[row].english));
}

void TestForm::englishComboItems_data()
{
    QTest::addColumn<QString>("combo");
    QTest::addColumn<QStringList>("items");
    for (const ComboRow &row : comboRows())
        QTest::newRow(row.name) << QString::fromLatin1(row.name) << row.english;
}

void TestForm::englishComboItems()
{
    QFETCH(QString, combo);
    QFETCH(QStringList, items);
    Session english(true);
    QVERIFY(english.ready());
    auto *box = english.window->findChild<QComboBox *>(combo);
    QVERIFY(box);
    QCOMPARE(itemsOf(box), items);
}

void TestForm::messageTexts_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("english");
    for (const MessageRow &row : kMessages)
        QTest::addRow("%s %s", row.context, row.source)
            << QString::fromLatin1(row.context) << u(row.source) << u(row.english);
}

void TestForm::messageTexts()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, english);
    const QByteArray ctx = context.toUtf8();
    const QByteArray src = source.toUtf8();
    // Without the catalogue the source text shows.
    QCOMPARE(QCoreApplication::translate(ctx.constData(), src.constData()), source);
    EnglishCatalogue catalogue;
    QVERIFY(catalogue.loaded());
    QCOMPARE(QCoreApplication::translate(ctx.constData(), src.constData()), english);
}

void TestForm::catalogueEntriesAreFinished()
{
    const TsCatalogue catalogue = readTsCatalogue(kCataloguePath);
    QVERIFY2(catalogue.error.isEmpty(), qPrintable(catalogue.error));
    QCOMPARE(catalogue.language, QStringLiteral("en_US"));
    QCOMPARE(catalogue.sourceLanguage, QStringLiteral("zh_CN"));
    QVERIFY(!catalogue.messages.isEmpty());
    QSet<MessageKey> seen;
    const QStringList kept = keptFormTexts();
    for (const TsMessage &m : catalogue.messages) {
        const QString where = m.context + QLatin1Char('/') + m.source;
        QVERIFY2(m.translationType.isEmpty(), qPrintable(where + " is " + m.translationType));
        QVERIFY2(!m.translation.isEmpty(), qPrintable(where + " has no translation"));
        QVERIFY2(!seen.contains({m.context, m.source}), qPrintable(where + " twice"));
        seen.insert({m.context, m.source});
        QVERIFY2(!(m.context == QLatin1String("MainWindow") && kept.contains(m.source)),
                 qPrintable(where + " is meant to stay as it is"));
    }
}

void TestForm::compiledCatalogueMatchesSource()
{
    const TsCatalogue catalogue = readTsCatalogue(kCataloguePath);
    QVERIFY2(catalogue.error.isEmpty(), qPrintable(catalogue.error));
    QTranslator compiled;
    QVERIFY(compiled.load(kCompiledCatalogue));
    for (const TsMessage &m : catalogue.messages) {
        const QString shown =
            compiled.translate(m.context.toUtf8().constData(), m.source.toUtf8().constData());
        QVERIFY2(shown == m.translation, qPrintable(m.context + "/" + m.source + ": " + shown));
    }
}

void TestForm::catalogueCoversEverySourceText()
{
    QString error;
    const QSet<MessageKey> used = textsUsedBySources(&error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // The form alone has far more texts than this; fewer means lupdate saw no sources.
    QVERIFY(used.size() > 200);
    const QHash<MessageKey, QString> catalogue = byKey(readTsCatalogue(kCataloguePath));
    const QStringList kept = keptFormTexts();
    QStringList untranslated;
    for (const MessageKey &key : used) {
        if (catalogue.contains(key))
            continue;
        if (key.first == QLatin1String("MainWindow") && kept.contains(key.second))
            continue;
        untranslated << key.first + QLatin1Char('/') + key.second;
    }
    untranslated.sort();
    QVERIFY2(untranslated.isEmpty(),
             qPrintable("no English for: " + untranslated.join(QStringLiteral(", "))));
}

void TestForm::textsFit_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("smallest"); // at the window's minimum size, else at the form's size
    for (bool smallest : {false, true}) {
        for (bool english : {false, true}) {
            const char *language = english ? "en" : "zh";
            const char *size = smallest ? "smallest" : "form size";
            for (int page = 0; page < 7; ++page)
                QTest::addRow("%s %s tab 0 page %d", size, language, page)
                    << english << 0 << page << smallest;
            QTest::addRow("%s %s tab 1", size, language) << english << 1 << 0 << smallest;
            QTest::addRow("%s %s tab 2", size, language) << english << 2 << 0 << smallest;
        }
    }
}

void TestForm::textsFit()
{
    QFETCH(bool, english);
    QFETCH(int, tab);
    QFETCH(int, page);
    QFETCH(bool, smallest);
    Session session(english);
    QVERIFY(session.ready());
    MainWindow *window = session.window.get();
    child<QTabWidget>(window, "tabWidget_2")->setCurrentIndex(tab);
    child<QToolBox>(window, "toolBox")->setCurrentIndex(page);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window, kEventTimeoutMs));
    if (smallest) {
        window->resize(window->minimumSize());
        QTRY_COMPARE(window->size(), window->minimumSize());
    }
    QCoreApplication::processEvents();

    const QStringList squeezed = squeezedWidgets(window);
    QVERIFY2(squeezed.isEmpty(), qPrintable(squeezed.join(QStringLiteral("; "))));
    // Every page fits its tab without scrolling sideways.
    for (const char *area : {"scrollArea_3", "scrollArea_2"}) {
        QScrollBar *bar = child<QScrollArea>(window, area)->horizontalScrollBar();
        QVERIFY2(!bar->isVisible(), area);
    }
    if (tab == 0) {
        QWidget *current = child<QToolBox>(window, "toolBox")->currentWidget();
        QVERIFY2(current->width() >= current->minimumSizeHint().width(),
                 qPrintable(current->objectName()));
    }
    // Every tab's title shows in full, without the tab bar's scroll buttons.
    const QTabBar *tabBar = child<QTabWidget>(window, "tabWidget_2")->tabBar();
    QVERIFY(tabBar->tabRect(tabBar->count() - 1).right() < tabBar->width());
}

void TestForm::layoutFollowsTheWindow_data()
{
    QTest::addColumn<bool>("english");
    QTest::newRow("zh") << false;
    QTest::newRow("en") << true;
}

void TestForm::layoutFollowsTheWindow()
{
    QFETCH(bool, english);
    Session session(english);
    QVERIFY(session.ready());
    MainWindow *window = session.window.get();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // The form's size is allowed, and the window cannot shrink to nothing.
    const QSize minimum = window->minimumSize();
    QVERIFY2(minimum.width() <= 790 && minimum.height() <= 656,
             qPrintable(QString::number(minimum.width())));
    QVERIFY(minimum.width() > 270 + 300 && minimum.height() > 400);

    auto *tabs = child<QTabWidget>(window, "tabWidget_2");
    auto *list = child<QListWidget>(window, "listWidget");
    const QSize growth(500, 300);
    QSize tabsBefore, listBefore;
    for (const QSize size : {minimum, minimum + growth}) {
        window->resize(size);
        QTRY_COMPARE(window->size(), size);
        QTRY_COMPARE(tabs->geometry().right(), window->centralWidget()->width() - 10);
        const int bottom = window->centralWidget()->height() - 11;
        // The left column keeps its place and width, its buttons at the bottom.
        for (const char *name : {"label_100", "groupBox_2", "listWidget"}) {
            QCOMPARE(child<QWidget>(window, name)->x(), 10);
            QCOMPARE(child<QWidget>(window, name)->width(), 240);
        }
        for (const char *name : {"pushButton_6", "pushButton"})
            QCOMPARE(child<QWidget>(window, name)->geometry().bottom(), bottom);
        QCOMPARE(tabs->geometry().topLeft(), QPoint(270, 10));
        QCOMPARE(tabs->geometry().bottom(), bottom);
        if (size == minimum) {
            tabsBefore = tabs->size();
            listBefore = list->size();
        }
    }
    // What the window gains goes to the tabs and, in height, to the printer list.
    QCOMPARE(tabs->size(), tabsBefore + growth);
    QCOMPARE(list->size(), listBefore + QSize(0, growth.height()));
}

QTEST_MAIN(TestForm)
#include "tst_form.moc"
