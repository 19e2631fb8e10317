#include "app/MainWindow.h"
#include "dialogs/CommonDialog.h"
#include "files/SchemeFile.h"
#include "formats/BodyTag.h"
#include "formats/CssText.h"
#include "settings/SettingsStore.h"
#include "support/ChildProcess.h"
#include "support/TestApp.h"
#include "support/WindowTestCase.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QMenu>
#include <QMimeData>
#include <QRandomGenerator>
#include <QUndoStack>
#include <QUrl>

// Colours that come in from outside the bars: the clipboard, the tag box, a dropped file, the list of
// recent schemes.
class TestImport : public WindowTestCase {
    Q_OBJECT
private slots:
    void pasteColour_data();
    void pasteColour();
    void applyTagReadsOnlyWhatIsThere();
    void applyingWhatTheProgramWroteChangesNothing();
    void dropOpensOneLocalFile_data();
    void dropOpensOneLocalFile();
    void droppedPageIsAppliedWithItsStyleSheets_data();
    void droppedPageIsAppliedWithItsStyleSheets();
    void recentSchemes();
    void recentListHoldsWithoutAStore();

private:
    QAction* action(const char* name) const { return m_window->findChild<QAction*>(QString::fromLatin1(name)); }
    QString writeScheme(const QString& name, int firstValue);
};

QString TestImport::writeScheme(const QString& name, int firstValue)
{
    ColourScheme scheme = ColourScheme::defaults();
    scheme.setValue(0, static_cast<qint16>(firstValue));
    const QString path = m_dir->filePath(name);
    if (!SchemeFile::write(path, scheme))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestImport::pasteColour_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QColor>("expected"); // invalid: no colour, a message
    QTest::newRow("hex") << "  #1a2B3c\n" << QColor(0x1A, 0x2B, 0x3C);
    QTest::newRow("name") << "GreenYellow" << QColor(0xAD, 0xFF, 0x2F);
    QTest::newRow("hsl") << "hsl(120, 100%, 25%)" << QColor(0, 128, 0);
    QTest::newRow("text") << "a colour" << QColor();
    QTest::newRow("empty") << "" << QColor();
    QTest::newRow("semicolon and spaces") << " Tomato ;\n" << QColor(0xFF, 0x63, 0x47);
}

void TestImport::pasteColour()
{
    QFETCH(QString, clipboard);
    QFETCH(QColor, expected);
    m_probe->option(Slot::VisitedLink)->click();
    const SchemeState before = m_window->state();
    QGuiApplication::clipboard()->setText(clipboard);
    action("ItemPasteColor")->trigger();
    if (!expected.isValid()) {
        // Text that is no colour is quoted with the reason; an empty clipboard holds no colour at all.
        QCOMPARE(m_dialogs->messages,
            QStringList{clipboard.isEmpty() ? QStringLiteral("The clipboard holds no colour.")
                                            : QStringLiteral("\u201c%1\u201d is not one colour: a colour is a single "
                                                             "value, such as #FF6347, tomato or rgb(255 99 71).")
                                                  .arg(clipboard)});
        QCOMPARE(m_window->state(), before);
        QVERIFY(!m_window->undoStack().canUndo());
        return;
    }
    QCOMPARE(m_window->scheme().colour(Slot::VisitedLink), expected);
    QCOMPARE(m_probe->brokenInvariant(), QString());
    QCOMPARE(m_window->undoStack().count(), 1);
    QCOMPARE(action("ItemUndo")->text(), QStringLiteral("&Undo Paste Color"));
    action("ItemUndo")->trigger();
    QCOMPARE(m_window->state(), before);
}

void TestImport::applyTagReadsOnlyWhatIsThere()
{
    WindowProbe& p = *m_probe;
    p.tagline()->setPlainText(QStringLiteral("<body text=red leftmargin='70'>"));
    QTest::keyClick(p.tagline(), Qt::Key_Return, Qt::ControlModifier);
    ColourScheme expected = ColourScheme::defaults();
    for (int c = 0; c < Channel::Count; ++c)
        expected.setChannel(Slot::Text, c, static_cast<qint16>(c == Channel::Red ? 255 : 0));
    QCOMPARE(m_window->scheme(), expected);
    QVERIFY(m_window->margins().useLeft());
    QCOMPARE(m_window->margins().left(), 50);
    QVERIFY(!m_window->margins().useTop());
    QCOMPARE(p.brokenInvariant(), QString());
    QCOMPARE(p.child<QLabel>(QStringLiteral("leftlabel"))->text(), QStringLiteral(" 50"));

    QCOMPARE(m_dialogs->messages,
        QStringList{QStringLiteral("Margins are kept within 0 to 50 pixels, so margin-left: 70px was limited.\n\n"
                                   "Read as a BODY tag: the colours it does not give stay as they are.")});

    const SchemeState applied = m_window->state();
    p.tagline()->setPlainText(QStringLiteral("nothing to see"));
    action("ItemApplyTag")->trigger();
    QCOMPARE(m_dialogs->messages.size(), 2);
    QCOMPARE(m_window->state(), applied);
    QCOMPARE(m_window->undoStack().count(), 1);
}

void TestImport::applyingWhatTheProgramWroteChangesNothing()
{
    QRandomGenerator random(QRandomGenerator::global()->generate());
    WindowProbe& p = *m_probe;
    for (int run = 0; run < 200; ++run) {
        // A random scheme through the window's own controls, then its tag or CSS applied back.
        for (int field = 0; field < ColourScheme::ValueCount; ++field) {
            p.option(field / 3)->click();
            p.bar(field % 3)->setValue(random.bounded(256));
        }
        if (random.bounded(2))
            p.box(random.bounded(2))->click();
        const SchemeState before = m_window->state();
        const int steps = m_window->undoStack().count();
        const bool css = random.bounded(2);
        p.tagline()->setPlainText(css ? CssText::compose(before.scheme, before.margins) : before.tag());
        action("ItemApplyTag")->trigger();
        QCOMPARE(m_window->state(), before);
        QCOMPARE(m_window->undoStack().count(), steps);
        QCOMPARE(p.taglineText(), before.tag());
    }
}

void TestImport::dropOpensOneLocalFile_data()
{
    QTest::addColumn<int>("files");
    QTest::addColumn<bool>("local");
    QTest::newRow("one file") << 1 << true;
    QTest::newRow("two files") << 2 << true;
    QTest::newRow("not local") << 1 << false;
}

void TestImport::dropOpensOneLocalFile()
{
    QFETCH(int, files);
    QFETCH(bool, local);
    QList<QUrl> urls;
    for (int i = 0; i < files; ++i) {
        const QString path = writeScheme(QStringLiteral("Dropped%1.HlM").arg(i), 7);
        urls << (local ? QUrl::fromLocalFile(path) : QUrl(QStringLiteral("https://example.org/a.hlm")));
    }
    QMimeData data;
    data.setUrls(urls);
    const bool wanted = files == 1 && local;
    // Onto the window and onto the tag box alike.
    for (QWidget* target : {static_cast<QWidget*>(m_window), m_probe->tagline()->viewport()}) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QCOMPARE(enter.isAccepted(), wanted);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &drop);
        QCoreApplication::processEvents();
        QCOMPARE(m_window->scheme().value(0), wanted ? 7 : ColourScheme::defaults().value(0));
        QVERIFY(m_probe->taglineText().startsWith(QStringLiteral("<BODY")));
        if (wanted) {
            QCOMPARE(action("ItemUndo")->text(), QStringLiteral("&Undo Open Scheme"));
            m_window->undoStack().undo();
        }
    }
}

void TestImport::droppedPageIsAppliedWithItsStyleSheets_data()
{
    QTest::addColumn<QString>("dropped");
    QTest::newRow("page") << "site/page.HTML";
    QTest::newRow("style sheet") << "site/css/base.css";
}

void TestImport::droppedPageIsAppliedWithItsStyleSheets()
{
    QFETCH(QString, dropped);
    // A page linking a style sheet that imports another: both are followed from the page's folder.
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("site/css")));
    put(m_dir->filePath(QStringLiteral("site/page.HTML")),
        "<!DOCTYPE html><link rel=stylesheet href='css/base.css'><body><p><a href=x>x</a>");
    put(m_dir->filePath(QStringLiteral("site/css/base.css")), "@import 'theme.css'; body { color: #112233 }");
    put(m_dir->filePath(QStringLiteral("site/css/theme.css")), "body { background: #445566 } a { color: #778899 }");
    const SchemeState before = m_window->state();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(m_dir->filePath(dropped))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(m_probe->tagline()->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(m_probe->tagline()->viewport(), &drop);
    QTRY_COMPARE(m_window->scheme().colour(Slot::Background), QColor(0x44, 0x55, 0x66));
    QCOMPARE(m_window->scheme().colour(Slot::Text), QColor(0x11, 0x22, 0x33));
    for (const int slot : {Slot::NewLink, Slot::VisitedLink, Slot::ActiveLink})
        QCOMPARE(m_window->scheme().colour(slot), QColor(0x77, 0x88, 0x99));
    QCOMPARE(m_probe->brokenInvariant(), QString());
    QVERIFY(m_dialogs->messages.isEmpty());
    // One step, named as the command it went through, and undone whole.
    QCOMPARE(action("ItemUndo")->text(), QStringLiteral("&Undo Apply Tag"));
    action("ItemUndo")->trigger();
    QCOMPARE(m_window->state(), before);
}

void TestImport::recentSchemes()
{
    auto* menu = m_window->findChild<QMenu*>(QStringLiteral("RecentMenu"));
    const auto listed = [menu] {
        QStringList texts;
        for (QAction* item : menu->actions())
            if (!item->isSeparator())
                texts << item->text();
        return texts;
    };
    menu->actions().last()->trigger();
    QCOMPARE(listed(), QStringList{QStringLiteral("&Clear List")});
    QStringList paths;
    for (int i = 0; i < 7; ++i) {
        paths.prepend(writeScheme(QStringLiteral("s%1.hlm").arg(i), i));
        m_window->openSchemeFile(paths.first());
    }
    // Saving counts too, and a file already listed moves to the top.
    m_dialogs->answerFile(paths.at(3));
    action("ItemSave")->trigger();
    const QStringList expected{paths.at(3), paths.at(0), paths.at(1), paths.at(2), paths.at(4)};
    QStringList texts;
    for (int i = 0; i < 5; ++i)
        texts << QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(expected.at(i)).fileName());
    QCOMPARE(listed(), texts + QStringList{QStringLiteral("&Clear List")});

    // The list lives in the settings store, under keys read in any letter case.
    SettingsStore store;
    QCOMPARE(store.read(QStringLiteral("hlm"), QStringLiteral("RECENT SCHEMES"), QStringLiteral("file1")), paths.at(3));

    // A file reached through a descriptor (its name is not UTF-8) opens, but the list cannot name it.
    const QString lossy = m_dir->filePath(QStringLiteral("caf\uFFFD.hlm"));
    m_window->openSchemeFile(paths.at(6), lossy);
    QCOMPARE(m_window->scheme().value(0), 0);
    QCOMPARE(m_window->commonDialog().FileName, lossy);
    QCOMPARE(listed(), texts + QStringList{QStringLiteral("&Clear List")});

    // A file that has gone gives the opening error and leaves the list.
    QVERIFY(QFile::remove(paths.at(0)));
    menu->actions().at(1)->trigger();
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(listed().size(), 5);
    QVERIFY(!listed().join(QString()).contains(paths.at(0)));

    menu->actions().last()->trigger();
    QCOMPARE(listed(), QStringList{QStringLiteral("&Clear List")});
    QVERIFY(!menu->actions().last()->isEnabled());
}

void TestImport::recentListHoldsWithoutAStore()
{
    // A folder where the settings file should be: nothing can be stored, yet the list holds this run.
    const QString store = SettingsStore::defaultFilePath();
    QFile::remove(store);
    QVERIFY(QDir().mkpath(store));
    auto* dialogs = new ScriptedDialogs;
    MainWindow window{std::unique_ptr<DialogBackend>(dialogs)};
    const QString path = writeScheme(QStringLiteral("kept.hlm"), 3);
    window.openSchemeFile(path);
    QVERIFY(QDir().rmdir(store));
    const QList<QAction*> items = window.findChild<QMenu*>(QStringLiteral("RecentMenu"))->actions();
    QCOMPARE(items.first()->text(), QStringLiteral("&1 kept.hlm"));
    QCOMPARE(items.first()->statusTip(), QFileInfo(path).path());

    // A name or folder that holds a line end or a right-to-left override is listed on one line, in order.
    QVERIFY(QDir(m_dir->path()).mkdir(u"in\u202Eside"_qs));
    const QString odd = writeScheme(u"in\u202Eside/sea\nblue\u2067.hlm"_qs, 4);
    window.openSchemeFile(odd);
    const QAction* item = window.findChild<QMenu*>(QStringLiteral("RecentMenu"))->actions().first();
    QCOMPARE(item->text(), QStringLiteral("&1 sea\\nblue\\u{2067}.hlm"));
    QVERIFY(item->statusTip().endsWith(QStringLiteral("/in\\u{202E}side")));
}

HUELOOM_TEST_MAIN(TestImport)
#include "tst_import.moc"
