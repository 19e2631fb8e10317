#include "app/MainWindow.h"
#include "assist/ColourVision.h"
#include "contrast/ContrastWindow.h"
#include "info/CodeBlocks.h"
#include "info/GuideWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestApp.h"
#include "support/WindowProbe.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextBrowser>

// The windows whose text is longer than at first: every heading and cell of Contrast Check whole, with
// any colour-vision simulation on, the guide wrapped to its window with code that scrolls on its own,
// and the tag box one tag high with a scroll bar that can be dragged. Run at 1x and at 2x (QT_SCALE_FACTOR),
// where text does not always scale with the pixels around it. Pictures of the windows are kept beside the
// test, in windowfit-<scale>x/, for a person to look at.
class TestWindowFit : public QObject {
    Q_OBJECT
private slots:
    void contrastCheckShowsEveryTextWhole_data();
    void contrastCheckShowsEveryTextWhole();
    void guideWrapsAndItsCodeScrollsOnItsOwn();
    void tagBoxKeepsItsHeight_data();
    void tagBoxKeepsItsHeight();

private:
    void keepPicture(QWidget* window, const QString& name);
};

void TestWindowFit::keepPicture(QWidget* window, const QString& name)
{
    const QString folder
        = QStringLiteral("%1/windowfit-%2x").arg(QCoreApplication::applicationDirPath()).arg(qApp->devicePixelRatio());
    QDir().mkpath(folder);
    window->grab().save(QStringLiteral("%1/%2.png").arg(folder, name));
}

void TestWindowFit::contrastCheckShowsEveryTextWhole_data()
{
    QTest::addColumn<ColourVision::Deficiency>("deficiency");
    for (const ColourVision::Deficiency deficiency : ColourVision::All)
        QTest::newRow(qPrintable(ColourVision::displayName(deficiency))) << deficiency;
}

void TestWindowFit::contrastCheckShowsEveryTextWhole()
{
    QFETCH(ColourVision::Deficiency, deficiency);
    ContrastWindow window;
    // The widest figures: 21.00:1 and Lc -108.0 (black on white), and the default scheme's.
    ColourScheme scheme = ColourScheme::defaults();
    scheme.setColour(Slot::Background, Rgb{255, 255, 255});
    scheme.setColour(Slot::Text, Rgb{0, 0, 0});
    window.setSimulation(deficiency, scheme);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    keepPicture(&window, QStringLiteral("contrast-") + QString::fromLatin1(QTest::currentDataTag()));

    QTableWidget* table = window.table();
    QHeaderView* top = table->horizontalHeader();
    const QFontMetrics heading(top->font());
    const int margins = 2 * top->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, top);
    const QFontMetrics cell(table->font());
    // Every text that does not fit, so that one run shows them all.
    QStringList cut;
    const auto fits = [&cut](int room, int needed, const QString& text) {
        if (room < needed)
            cut << QStringLiteral("\"%1\" %2 < %3").arg(text).arg(room).arg(needed);
    };
    int rightmost = 0;
    for (int column = 0; column < table->columnCount(); ++column) {
        const QString text = table->horizontalHeaderItem(column)->text();
        const int width = top->sectionSize(column);
        fits(width, heading.horizontalAdvance(text) + margins, text);
        for (int row = 0; row < table->rowCount(); ++row) {
            if (table->columnSpan(row, column) > 1 || !table->item(row, column)
                || table->item(row, column)->text().isEmpty())
                continue;
            // A cell's text with at least a character's room beside it.
            const QString shown = table->item(row, column)->text();
            fits(width, cell.horizontalAdvance(shown) + 2 * cell.averageCharWidth(), shown);
        }
        rightmost = std::max(rightmost, top->sectionViewportPosition(column) + width);
    }
    // No column runs past the table's edge, and no row past its foot.
    fits(table->viewport()->width(), rightmost, QStringLiteral("the table's width"));
    QHeaderView* side = table->verticalHeader();
    fits(table->viewport()->height(), side->length(), QStringLiteral("the table's height"));
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString name = table->verticalHeaderItem(row)->text();
        fits(side->width(),
            QFontMetrics(side->font()).horizontalAdvance(name) + side->iconSize().width() + 2 * cell.averageCharWidth(),
            name);
    }
    fits(window.width() - 1, table->geometry().right(), QStringLiteral("the window's width"));
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
}

void TestWindowFit::guideWrapsAndItsCodeScrollsOnItsOwn()
{
    GuideWindow guide;
    guide.show();
    QVERIFY(QTest::qWaitForWindowExposed(&guide));
    QTextBrowser* browser = guide.browser();
    QVERIFY(!browser->horizontalScrollBar()->isVisible());
    QTest::qWait(50); // the boxes find their places after the first layout
    keepPicture(&guide, QStringLiteral("guide"));

    const QTextDocument* document = browser->document();
    const QAbstractTextDocumentLayout* layout = document->documentLayout();
    const int width = browser->viewport()->width();
    int codeBlocks = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (CodeBlocks::isCode(block)) {
            ++codeBlocks;
            continue;
        }
        // Running text and table cells wrap within the window: no line's text runs past its right edge.
        const QTextLayout* lines = block.layout();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            const qreal right = layout->blockBoundingRect(block).left() + line.x() + line.naturalTextWidth();
            QVERIFY2(right <= width, qPrintable(QStringLiteral("%1 > %2: %3").arg(right).arg(width).arg(block.text())));
        }
    }
    QVERIFY(codeBlocks > 0);

    const QList<QPlainTextEdit*> boxes = guide.codeBlocks()->boxes();
    bool someScroll = false;
    for (QPlainTextEdit* box : boxes) {
        // Every line of the code can be brought into view, and every line stands in the box's height.
        int widest = 0;
        const QStringList lines = box->toPlainText().split(u'\n');
        for (const QString& line : lines)
            widest = std::max(widest, box->fontMetrics().horizontalAdvance(line));
        QScrollBar* sideways = box->horizontalScrollBar();
        // (The box lays its lines out in fractions of a pixel.)
        QVERIFY2(sideways->maximum() + box->viewport()->width() + 1 >= widest, qPrintable(lines.first()));
        someScroll = someScroll || sideways->maximum() > 0;
        QVERIFY2(
            box->viewport()->height() >= lines.size() * box->fontMetrics().lineSpacing(), qPrintable(lines.first()));
        QVERIFY(box->geometry().right() < width + 1);
        QVERIFY(box->geometry().left() > 0);
    }
    // The command-line synopsis is wider than the window.
    QVERIFY(someScroll);
    const QTextCursor synopsis = document->find(QStringLiteral("hueloom --check ["));
    QVERIFY(!synopsis.isNull());
    browser->verticalScrollBar()->setValue(qRound(layout->blockBoundingRect(synopsis.block()).top()) - 40);
    QTest::qWait(20);
    keepPicture(&guide, QStringLiteral("guide-synopsis"));

    // Down the whole text, the boxes follow their code.
    browser->verticalScrollBar()->setValue(browser->verticalScrollBar()->maximum() / 2);
    QTest::qWait(20);
    const QPoint scrolled(0, browser->verticalScrollBar()->value());
    for (const QPlainTextEdit* box : boxes) {
        const QTextCursor found = document->find(box->toPlainText().section(u'\n', 0, 0));
        QVERIFY(!found.isNull());
        const QRectF code = layout->blockBoundingRect(found.block()).translated(-scrolled);
        QVERIFY2(std::abs(box->geometry().top() - code.top()) <= 2 + code.height(), qPrintable(found.block().text()));
    }
}

void TestWindowFit::tagBoxKeepsItsHeight_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("longest tag") << QString() << false;
    QTest::newRow("three lines typed") << QStringLiteral("\nmore\nand more") << true;
    QTest::newRow("a page pasted") << QStringLiteral("\n<p>words</p>").repeated(200) << true;
}

void TestWindowFit::tagBoxKeepsItsHeight()
{
    QFETCH(QString, typed);
    QFETCH(bool, scrolls);
    MainWindow window(std::make_unique<ScriptedDialogs>());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    WindowProbe probe(window);
    QTest::mouseClick(probe.box(0), Qt::LeftButton);
    QTest::mouseClick(probe.box(1), Qt::LeftButton);
    QPlainTextEdit* box = probe.tagline();
    box->moveCursor(QTextCursor::End);
    box->insertPlainText(typed);
    QCOMPARE(box->geometry(), QRect(8, 16, 465, 33));
    QTRY_COMPARE(box->verticalScrollBar()->isVisible(), scrolls);
    keepPicture(&window, QStringLiteral("tagbox-") + QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-'));
    if (!scrolls) {
        // The tag shows whole: no line of it under the box's foot.
        QCOMPARE(box->verticalScrollBar()->maximum(), 0);
        return;
    }
    // The scroll bar has a slider to drag, with room to move.
    QScrollBar* bar = box->verticalScrollBar();
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Vertical;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.pageStep = bar->pageStep();
    const QRect slider = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    const QRect groove = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, bar);
    QVERIFY2(slider.height() >= 8, qPrintable(QString::number(slider.height())));
    QVERIFY2(groove.height() >= slider.height() + 8, qPrintable(QString::number(groove.height())));
    // Dragging the slider to the foot shows the last line.
    QTest::mousePress(bar, Qt::LeftButton, {}, slider.center());
    QMouseEvent move(QEvent::MouseMove, QPointF(slider.center().x(), bar->height() + 20), bar->mapToGlobal(QPointF()),
        Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(bar, &move);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(slider.center().x(), bar->height() + 20));
    QCOMPARE(bar->value(), bar->maximum());
}

HUELOOM_TEST_MAIN(TestWindowFit)
#include "tst_windowfit.moc"
