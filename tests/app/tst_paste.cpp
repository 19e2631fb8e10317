#include "app/ColourCommands.h"
#include "app/MainWindow.h"
#include "app/TagBox.h"
#include "cli/ContrastCommand.h"
#include "support/TestApp.h"
#include "support/WindowTestCase.h"
#include "web/TextLimit.h"

#include <QAction>
#include <QClipboard>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>

namespace {

// The tag box's paste entry points, reachable from the test.
struct OpenTagBox : TagBox {
    using TagBox::canInsertFromMimeData;
    using TagBox::insertFromMimeData;
};

// A web page of exactly `size` characters whose style sheet gives the page the background `colour`.
QString page(qsizetype size, const QString& colour)
{
    QString text
        = QStringLiteral("<html><head><style>body { background-color: %1 }</style></head><body>\n").arg(colour);
    while (text.size() < size)
        text += QStringLiteral("<p>A paragraph of the page, <a href=\"https://example.org/\">with a link</a>.</p>\n");
    text.truncate(size);
    return text;
}

// Counts the ticks of a 5 ms timer on the window's thread while `busy` holds.
struct Ticker {
    explicit Ticker(std::function<bool()> busy)
    {
        QObject::connect(&timer, &QTimer::timeout, [this, busy] { ticksWhileBusy += busy() ? 1 : 0; });
        timer.start(5);
    }
    QTimer timer;
    int ticksWhileBusy = 0;
};

} // namespace

// Pastes with no data, pastes too long for the tag box, and Apply Tag on the longest text it takes.
class TestPaste : public WindowTestCase {
    Q_OBJECT
private slots:
    void noDataIsNothingToPaste();
    void oversizedPasteLeavesTheBox();
    void longestPasteAndApplyTagKeepTheWindowAnswering();
    void laterApplyTagReplacesAnEarlierOne();
    void pasteColourRefusesLongText();
    void longLineBreaksAnywhereUntilTheTagIsBack();
    void boxAndCommandLineShareOneLimit_data();
    void boxAndCommandLineShareOneLimit();

private:
    QAction* action(const char* name) const { return m_window->findChild<QAction*>(QString::fromLatin1(name)); }
    TagBox* box() const { return m_window->findChild<TagBox*>(QStringLiteral("tagline")); }
    ColourCommands* commands() const { return m_window->findChild<ColourCommands*>(); }
    void paste(const QString& text)
    {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(box(), Qt::Key_V, Qt::ControlModifier);
    }
};

void TestPaste::noDataIsNothingToPaste()
{
    OpenTagBox lone;
    lone.setPlainText(QStringLiteral("kept"));
    QMimeData empty;
    QMimeData htmlOnly;
    htmlOnly.setHtml(QStringLiteral("<b>no text/plain</b>"));
    for (const QMimeData* data : std::initializer_list<const QMimeData*>{nullptr, &empty, &htmlOnly}) {
        QVERIFY(!lone.canInsertFromMimeData(data));
        lone.insertFromMimeData(data);
        QCOMPARE(lone.toPlainText(), QStringLiteral("kept"));
    }

    // The window's tag box and the window itself, with drags and drops that carry no data at all.
    const QString tag = box()->toPlainText();
    const SchemeState before = m_window->state();
    for (QWidget* target : {box()->viewport(), static_cast<QWidget*>(m_window)}) {
        for (const QMimeData* data : std::initializer_list<const QMimeData*>{nullptr, &empty}) {
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &enter);
            QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &drop);
        }
    }
    QGuiApplication::clipboard()->clear();
    box()->setFocus();
    QTest::keyClick(box(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(box(), Qt::Key_Insert, Qt::ShiftModifier);
    QTest::mouseClick(box()->viewport(), Qt::MiddleButton, {}, QPoint(20, 10));
    action("ItemPasteColor")->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(box()->toPlainText(), tag);
    QCOMPARE(m_window->state(), before);
    QCOMPARE(m_dialogs->messages, QStringList{QStringLiteral("The clipboard holds no colour.")});
}

void TestPaste::oversizedPasteLeavesTheBox()
{
    box()->setFocus();
    const QString tag = box()->toPlainText();
    // The cursor stands at the start: the box plus the paste make one character too many, then just enough.
    paste(page(TagBox::MaxLength - tag.size() + 1, QStringLiteral("red")));
    QCOMPARE(box()->toPlainText(), tag);
    QCOMPARE(m_dialogs->messages.size(), 1);
    QVERIFY(m_dialogs->messages.first().contains(QLocale().toString(TagBox::MaxLength)));

    paste(page(TagBox::MaxLength - tag.size(), QStringLiteral("red")));
    QCOMPARE(box()->toPlainText().size(), TagBox::MaxLength);
    QVERIFY(box()->toPlainText().endsWith(tag));
    QCOMPARE(m_dialogs->messages.size(), 1);
}

void TestPaste::longestPasteAndApplyTagKeepTheWindowAnswering()
{
    box()->setFocus();
    box()->selectAll();
    paste(page(TagBox::MaxLength, QStringLiteral("#102030")));
    QCOMPARE(box()->toPlainText().size(), TagBox::MaxLength);

    Ticker ticker([this] { return commands()->isReadingTag(); });
    action("ItemApplyTag")->trigger();
    QVERIFY(commands()->isReadingTag());
    // Every text of the page is judged too: a sanitized build takes several seconds over it.
    QTRY_VERIFY_WITH_TIMEOUT(!commands()->isReadingTag(), 60000);
    QVERIFY2(ticker.ticksWhileBusy > 0, "the window handled no timer while Apply Tag read");
    QCOMPARE(m_window->scheme().colour(Slot::Background), QColor(0x10, 0x20, 0x30));
    QCOMPARE(box()->toPlainText(), m_window->tag().text());
    QCOMPARE(m_window->undoStack().count(), 1);
    QVERIFY(m_dialogs->messages.isEmpty());
}

void TestPaste::laterApplyTagReplacesAnEarlierOne()
{
    // Long, long: the first read is still running when the second comes, and only the second counts.
    // Long, short: the short one is read at once and the long one's result is dropped.
    const QString longRed = page(TagBox::MaxLength, QStringLiteral("#FF0000"));
    const QString longBlue = page(TagBox::MaxLength, QStringLiteral("#0000FF"));
    const QString shortGreen = QStringLiteral(R"(<BODY BGCOLOR="#00FF00">)");
    for (const auto& [second, expected] :
        {std::pair{longBlue, QColor(Qt::blue)}, std::pair{shortGreen, QColor(Qt::green)}}) {
        const int steps = m_window->undoStack().count();
        box()->setPlainText(longRed);
        action("ItemApplyTag")->trigger();
        box()->setPlainText(second);
        action("ItemApplyTag")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!commands()->isReadingTag(), 60000);
        QCOMPARE(m_window->scheme().colour(Slot::Background), expected);
        QCOMPARE(m_window->undoStack().count(), steps + 1);
    }
    QVERIFY(m_dialogs->messages.isEmpty());
}

void TestPaste::pasteColourRefusesLongText()
{
    // A colour padded with spaces up to the limit is read; one space more and it is not looked at.
    m_probe->option(Slot::Text)->click();
    const QString colour = QStringLiteral("#123456");
    QGuiApplication::clipboard()->setText(colour.leftJustified(ColourCommands::MaxColourText));
    action("ItemPasteColor")->trigger();
    QCOMPARE(m_window->scheme().colour(Slot::Text), QColor(0x12, 0x34, 0x56));
    QGuiApplication::clipboard()->setText(QStringLiteral("#ABCDEF").leftJustified(ColourCommands::MaxColourText + 1));
    action("ItemPasteColor")->trigger();
    QCOMPARE(m_window->scheme().colour(Slot::Text), QColor(0x12, 0x34, 0x56));
    QCOMPARE(m_dialogs->messages,
        QStringList{QStringLiteral("The clipboard holds no colour: its text has more than %1 characters, far more "
                                   "than any colour.")
                        .arg(ColourCommands::MaxColourText)});
}

void TestPaste::longLineBreaksAnywhereUntilTheTagIsBack()
{
    // A line of LongLine characters still breaks between words; one more and it breaks anywhere.
    box()->setFocus();
    for (const qsizetype length : {qsizetype(TagBox::LongLine), qsizetype(TagBox::LongLine) + 1}) {
        box()->selectAll();
        paste(QString(length, QLatin1Char('x')) + QStringLiteral("\nshort"));
        QCOMPARE(box()->wordWrapMode() == QTextOption::WrapAnywhere, length > TagBox::LongLine);
    }
    action("ItemDefault")->trigger();
    QCOMPARE(box()->toPlainText(), m_window->tag().text());
    QCOMPARE(box()->wordWrapMode(), QTextOption::WordWrap);
    QCOMPARE(box()->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
}

// The same page is taken, or refused in the same words, by the tag box and by `hueloom --check`,
// whatever its characters cost in UTF-8: the limit counts characters on both ways in.
void TestPaste::boxAndCommandLineShareOneLimit_data()
{
    QTest::addColumn<QString>("filler");
    QTest::addColumn<qsizetype>("length");
    const qsizetype limit = TextLimit::MaxCharacters;
    for (const auto& [name, filler] : {std::pair{"ASCII", QStringLiteral("x")}, std::pair{"é", QStringLiteral("é")},
             std::pair{"€", QStringLiteral("€")}, std::pair{"emoji", QStringLiteral("😀")}}) {
        QTest::addRow("%s at the limit", name) << filler << limit;
        QTest::addRow("%s one over", name) << filler << limit + 1;
    }
    QTest::newRow("3 Mi é") << QStringLiteral("é") << qsizetype(3) * 1024 * 1024;
}

void TestPaste::boxAndCommandLineShareOneLimit()
{
    QFETCH(QString, filler);
    QFETCH(qsizetype, length);
    QString text = QStringLiteral("<body bgcolor=red>");
    text += filler.repeated((length - text.size()) / filler.size());
    text += QString(length - text.size(), QLatin1Char(' '));
    QCOMPARE(text.size(), length);
    const bool fits = !TextLimit::tooLong(length);
    const QString refusal = TextLimit::tooLongMessage();

    box()->setFocus();
    box()->selectAll();
    paste(text);
    QCOMPARE(box()->toPlainText() == text, fits);
    QCOMPARE(m_dialogs->messages,
        fits ? QStringList() : QStringList{QStringLiteral("This text is %1.  Nothing was pasted.").arg(refusal)});

    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("page.html")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(text.toUtf8()) > 0);
    file.close();
    ContrastCommand::Options options;
    options.schemes = {QFile::encodeName(file.fileName())};
    const ContrastCommand::Result result = ContrastCommand::check(options);
    QCOMPARE(result.status != ContrastCommand::BadInput, fits);
    QCOMPARE(result.notes.contains(refusal), !fits);
}

HUELOOM_TEST_MAIN(TestPaste)
#include "tst_paste.moc"
