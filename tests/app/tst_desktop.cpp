#include "app/ColourDrag.h"
#include "app/MainActions.h"
#include "app/MainWindow.h"
#include "cli/CommandLine.h"
#include "support/TestApp.h"
#include "support/WindowTestCase.h"

#include "colour/ColourFormats.h"
#include "info/ShortcutsWindow.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryFile>
#include <QUndoStack>

// The window on today's desktops: colours out in every shape and back in, by the real actions.
class TestDesktop : public WindowTestCase {
    Q_OBJECT
private slots:
    void copiesReadBack();
    void smallWindowsCloseFromTheKeyboard_data();
    void smallWindowsCloseFromTheKeyboard();
    void shortcutsListEveryCommand();
    void manualListsEveryOptionAndStatus();
    void dragOutCarriesTheSlotColour();
    void dropGivesTheSlotItsColour_data();
    void dropGivesTheSlotItsColour();
};

namespace {

// Each part of the window a colour can be dragged from or dropped on, and the slot it stands for.
const std::pair<const char*, int> Parts[]
    = {{"cc(0)", Slot::Background}, {"cc(1)", Slot::Text}, {"cc(2)", Slot::NewLink}, {"cc(3)", Slot::VisitedLink},
        {"cc(4)", Slot::ActiveLink}, {"background", Slot::Background}, {"Title", Slot::Text}, {"Normal", Slot::Text},
        {"newlink", Slot::NewLink}, {"visitedlink", Slot::VisitedLink}, {"activelink", Slot::ActiveLink}};

ColourScheme randomScheme(QRandomGenerator& random)
{
    ColourScheme scheme;
    for (int field = 0; field < ColourScheme::ValueCount; ++field)
        scheme.setValue(field, static_cast<qint16>(random.bounded(256)));
    return scheme;
}

void sendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, widget->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
        buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

void TestDesktop::copiesReadBack()
{
    // Each colour text through Paste Color, each scheme shape through Apply Tag, by the real actions.
    SchemeDocument& document = m_window->document();
    const MainActions& a = m_window->actions();
    QRandomGenerator random(7);
    for (int round = 0; round < 200; ++round) {
        const ColourScheme scheme = randomScheme(random);
        document.replaceScheme(scheme, QStringLiteral("set"));
        for (QAction* copy : {a.copyHex, a.copyRgb, a.copyHsl, a.copyOklch}) {
            document.selectSlot(round % Slot::Count);
            copy->trigger();
            document.selectSlot((round + 1) % Slot::Count);
            a.pasteColour->trigger();
            QCOMPARE(document.scheme().colour((round + 1) % Slot::Count), scheme.colour(round % Slot::Count));
        }
        QAction* shape = QList{a.copyCss, a.copyProperties, a.copyTailwind, a.copyTokens}.at(round % 4);
        document.replaceScheme(scheme, QStringLiteral("set"));
        shape->trigger();
        a.defaultColours->trigger();
        m_probe->tagline()->setPlainText(QGuiApplication::clipboard()->text());
        const int steps = document.undoStack().count();
        a.applyTag->trigger();
        QVERIFY2(document.scheme() == scheme, qPrintable(shape->objectName()));
        QCOMPARE(document.undoStack().count(), steps + 1);
    }
}

void TestDesktop::smallWindowsCloseFromTheKeyboard_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("key");
    for (const auto& [item, window] :
        {std::pair{"ItemAbout", "Form2"}, std::pair{"ItemHelp", "Form3"}, std::pair{"ItemTrouble", "Form4"},
            std::pair{"ItemShortcuts", "ShortcutsWindow"}, std::pair{"ItemContrast", "ContrastWindow"}}) {
        for (const int key : {int(Qt::Key_Escape), int(Qt::Key_Return), int(Qt::Key_Enter)})
            QTest::addRow("%s %s", window, qPrintable(QKeySequence(key).toString())) << item << window << key;
    }
}

void TestDesktop::smallWindowsCloseFromTheKeyboard()
{
    QFETCH(QString, item);
    QFETCH(QString, window);
    QFETCH(int, key);
    m_window->findChild<QAction*>(item)->trigger();
    QPointer<QWidget> shown = m_window->findChild<QWidget*>(window);
    QVERIFY(shown && shown->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(shown));
    // A window with buttons has a default one; the key goes wherever the window sends it.
    const QList<QPushButton*> buttons = shown->findChildren<QPushButton*>();
    QVERIFY(buttons.isEmpty() || std::any_of(buttons.cbegin(), buttons.cend(), [](auto* b) { return b->isDefault(); }));
    QTest::keyClick(shown->windowHandle(), Qt::Key(key));
    QTRY_VERIFY(!shown || !shown->isVisible());
    QTRY_VERIFY(m_window->isActiveWindow());
}

void TestDesktop::shortcutsListEveryCommand()
{
    m_window->actions().shortcuts->trigger();
    const auto* table = m_window->findChild<QTableWidget*>(QStringLiteral("ShortcutsTable"));
    QVERIFY(table);
    QMap<QString, QString> listed;
    for (int row = 0; row < table->rowCount(); ++row)
        listed.insert(table->item(row, 0)->text(), table->item(row, 1)->text());
    // Every command a menu offers, found by walking the menus rather than asking the actions.
    int commands = 0;
    std::function<void(QMenu*, QString)> walk = [&](QMenu* menu, const QString& path) {
        for (QAction* action : menu->actions()) {
            const QString text = path + QStringLiteral(" > ") + action->text().remove(QLatin1Char('&'));
            if (action->menu() && action->menu()->objectName() != QLatin1String("RecentMenu"))
                walk(action->menu(), text);
            if (action->menu() || action->isSeparator()
                || action->parent() == m_window->findChild<QMenu*>(QStringLiteral("RecentMenu")))
                continue;
            ++commands;
            QVERIFY2(listed.contains(text), qPrintable(text));
            QStringList keys;
            for (const QKeySequence& key : action->shortcuts())
                keys << key.toString(QKeySequence::NativeText);
            QCOMPARE(listed.value(text), keys.join(QStringLiteral(", ")));
        }
    };
    for (QAction* top : m_window->menuBar()->actions())
        walk(top->menu(), top->text().remove(QLatin1Char('&')));
    QCOMPARE(commands, table->rowCount());
    QCOMPARE(listed.value(QStringLiteral("Edit > Copy Scheme As > CSS Rules")),
        QKeySequence(QStringLiteral("Ctrl+Shift+C")).toString(QKeySequence::NativeText));
}

void TestDesktop::manualListsEveryOptionAndStatus()
{
    QFile file(qEnvironmentVariable("HUELOOM_TEST_SOURCE_DIR") + QStringLiteral("/../data/hueloom.1.in"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString manual = QString::fromUtf8(file.readAll());
    // Every option the program's own help names, in the manual's escaped dashes.
    const QString help = CommandLine::parse({"hueloom", "--help"}).output;
    static const QRegularExpression option(QStringLiteral(R"((?:^|\s)(--?[a-z][a-z-]*))"));
    int options = 0;
    for (const QRegularExpressionMatch& match : option.globalMatch(help)) {
        ++options;
        QVERIFY2(manual.contains(QString(match.captured(1)).replace(QLatin1Char('-'), QStringLiteral("\\-"))),
            qPrintable(match.captured(1)));
    }
    QVERIFY(options >= 5);
    // The statuses the program ends with: success, no display, a wrong command line.
    const QString statuses = manual.section(QStringLiteral(".SH EXIT STATUS"), 1).section(QStringLiteral(".SH"), 0, 0);
    for (const char* status : {".B 0\n", ".B 1\n", ".B 2\n"})
        QVERIFY2(statuses.contains(QLatin1String(status)), status);
}

void TestDesktop::dragOutCarriesTheSlotColour()
{
    QRandomGenerator random(9);
    const ColourScheme scheme = randomScheme(random);
    m_window->document().replaceScheme(scheme, QStringLiteral("set"));
    m_window->document().selectSlot(Slot::Text);
    QStringList texts;
    QList<QColor> colours;
    connect(m_window->findChild<ColourDrag*>(), &ColourDrag::dragStarting, this, [&](const QMimeData* data) {
        texts << data->text();
        colours << qvariant_cast<QColor>(data->colorData());
    });
    for (const auto& [name, slot] : Parts) {
        auto* part = m_probe->child(QLatin1String(name));
        const QPoint at(part->width() / 2, part->height() / 2);
        const qsizetype before = texts.size();
        sendMouse(part, QEvent::MouseButtonPress, at, Qt::LeftButton);
        // A tremble is a click, not a drag.
        sendMouse(part, QEvent::MouseMove, at + QPoint(1, 0), Qt::LeftButton);
        QCOMPARE(texts.size(), before);
        sendMouse(part, QEvent::MouseMove, at + QPoint(QApplication::startDragDistance() + 2, 0), Qt::LeftButton);
        sendMouse(part, QEvent::MouseButtonRelease, at, Qt::NoButton);
        QCOMPARE(texts.size(), before + 1);
        QCOMPARE(texts.last(), scheme.colour(slot).name().toUpper());
        QCOMPARE(colours.last(), scheme.colour(slot));
    }
    // A drag picks nothing: the selected option stays the one it was.
    QCOMPARE(m_window->selectedSlot(), Slot::Text);
    QCOMPARE(m_window->document().undoStack().count(), 1);
}

void TestDesktop::dropGivesTheSlotItsColour_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("kind");
    for (const auto& [name, slot] : Parts)
        for (const char* kind : {"x-color", "hex", "oklch", "not a colour", "scheme file"})
            QTest::addRow("%s %s", name, kind) << QString::fromLatin1(name) << slot << QString::fromLatin1(kind);
}

void TestDesktop::dropGivesTheSlotItsColour()
{
    QFETCH(QString, part);
    QFETCH(int, slot);
    QFETCH(QString, kind);
    SchemeDocument& document = m_window->document();
    const QColor colour(18, 52, 86);
    QMimeData data;
    data.setText(kind == QLatin1String("oklch")     ? ColourFormats::write(colour, ColourFormats::Format::Oklch)
            : kind == QLatin1String("not a colour") ? QStringLiteral("hello")
                                                    : QStringLiteral("  #123456\n"));
    if (kind == QLatin1String("x-color")) {
        data.removeFormat(QStringLiteral("text/plain"));
        data.setColorData(colour);
    }
    QTemporaryFile scheme(QDir::tempPath() + QStringLiteral("/XXXXXX.hlm"));
    if (kind == QLatin1String("scheme file")) {
        QVERIFY(scheme.open());
        scheme.write("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15\r\n");
        scheme.close();
        data.setUrls({QUrl::fromLocalFile(scheme.fileName())});
    }
    QWidget* target = m_probe->child(part);
    const QPoint at(target->width() / 2, target->height() / 2);
    const int steps = document.undoStack().count();
    const ColourScheme before = document.scheme();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QCOMPARE(enter.isAccepted(), kind != QLatin1String("not a colour"));
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    if (kind == QLatin1String("scheme file")) {
        // The file opens, as a file dropped anywhere else on the window does.
        QTRY_COMPARE(document.scheme().value(14), 15);
        return;
    }
    ColourScheme expected = before;
    if (kind != QLatin1String("not a colour"))
        expected.setColour(slot, colour);
    QCOMPARE(document.scheme(), expected);
    QCOMPARE(document.undoStack().count(), steps + (expected == before ? 0 : 1));
}

HUELOOM_TEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
