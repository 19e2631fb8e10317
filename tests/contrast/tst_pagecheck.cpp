#include "app/CheckCommands.h"
#include "cli/PageReport.h"
#include "contrast/PageCheckWindow.h"
#include "dialogs/CommonDialog.h"
#include "support/ChildProcess.h"
#include "support/LineOrder.h"
#include "support/ReportLines.h"
#include "support/TestApp.h"
#include "support/WindowTestCase.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTableView>
#include <QUndoStack>

using Element = PageJudgement::Element;
using Verdict = PageJudgement::Verdict;
Q_DECLARE_METATYPE(PageJudgement::Element)

// Tools > Page Check: which texts it lists and how it words them, and File > Open Page feeding it
// through the reading Apply Tag and a dropped file share. The wording's cases are in
// cli/data/pagereport-lines.json, beside --check's of the same texts.
class TestPageCheck : public WindowTestCase {
    Q_OBJECT
private slots:
    void linesOfAText_data();
    void linesOfAText();
    void listsEveryFailureThenEveryReview();
    void copiesTheSelectedRowsAndFollowsTheScheme();
    void withNoPageOffersOpenPage();

private:
    PageCheckWindow* openWindow() const
    {
        m_window->findChild<QAction*>(QStringLiteral("ItemPageCheck"))->trigger();
        return m_window->findChild<PageCheckWindow*>(QStringLiteral("PageCheckWindow"));
    }
    CheckCommands* checks() const { return m_window->findChild<CheckCommands*>(); }
};

namespace {

// A judgement of `count` texts with verdicts, colours and places drawn from `random`.
PageJudgement randomJudgement(QRandomGenerator& random, int count)
{
    PageJudgement judgement;
    for (int i = 0; i < count; ++i) {
        Element element;
        element.index = i;
        element.file = QStringLiteral("/site/page%1.html").arg(random.bounded(3));
        element.line = random.bounded(1, 500);
        element.column = random.bounded(1, 80);
        element.verdict = Verdict(random.bounded(3));
        element.check = random.bounded(4) == 0 ? PageJudgement::Check::LinkInText : PageJudgement::Check::Contrast;
        element.foreground = random.generate() | 0xFF000000u;
        element.background = random.generate() | 0xFF000000u;
        element.ratio = 1 + random.bounded(20.0);
        element.needed = random.bounded(2) ? 4.5 : 3;
        // Quotes, line ends, controls and reordering marks: none of them may break a report line.
        const QChar awkward[] = {u'"', u'\n', u'\\', u'\x01', QChar(0x202E), u'a', u' ', QChar(0x2028)};
        for (int c = random.bounded(41); c > 0; --c)
            element.text += awkward[random.bounded(int(std::size(awkward)))];
        judgement.elements << element;
    }
    return judgement;
}

} // namespace

void TestPageCheck::linesOfAText_data()
{
    QTest::addColumn<Element>("element");
    QTest::addColumn<QJsonObject>("expected");
    const QJsonObject all = ReportLines::data();
    const QString pageFile = all[QStringLiteral("page")][QStringLiteral("file")].toString();
    for (const QJsonValue& value : all[QStringLiteral("cases")].toArray())
        if (value.toObject().contains(QStringLiteral("window")))
            QTest::newRow(qPrintable(value[QStringLiteral("name")].toString())) << ReportLines::element(
                value[QStringLiteral("element")].toObject(), pageFile) << value[QStringLiteral("window")].toObject();
}

void TestPageCheck::linesOfAText()
{
    QFETCH(Element, element);
    QFETCH(QJsonObject, expected);
    QCOMPARE(PageCheckModel::reportLine(element), expected[QStringLiteral("report")].toString());
    QCOMPARE(PageCheckModel::verdictText(element), expected[QStringLiteral("verdict")].toString());
    QCOMPARE(PageCheckModel::placeText(element), expected[QStringLiteral("place")].toString());
}

// Any judgement: the failures, then the reviews, each in document order, never a pass, as --check lists
// them too, in its lines and its SARIF log; the summary counts what the judgement counts; every report
// line is one line of the shape a compiler writes.
void TestPageCheck::listsEveryFailureThenEveryReview()
{
    const QRegularExpression shape(QStringLiteral(
        R"(^/site/page\d\.html:\d+:\d+: \d+\.\d\d:1 \(needs (4\.5|3):1\) ".*" #[0-9A-F]{6} on #[0-9A-F]{6}$)"));
    QRandomGenerator random(20261210);
    PageCheckModel model;
    const PageReport::Page page{
        QStringLiteral("p.html"), QStringLiteral("/site/p.html"), QStringLiteral("light"), false};
    for (int round = 0; round < 200; ++round) {
        const PageJudgement judgement = randomJudgement(random, random.bounded(60));
        model.setJudgement(judgement);
        PageReport::Sarif sarif;
        sarif.version = QStringLiteral("1.2.3");
        sarif.currentFolder = QStringLiteral("/site");
        sarif.add(judgement, page);
        const QJsonObject log = sarif.log();
        const QJsonValue run = log[u"runs"][0];
        QVERIFY(log[u"version"] == u"2.1.0"_qs && run[u"tool"][u"driver"][u"version"] == u"1.2.3"_qs);
        const QJsonArray results = run[u"results"].toArray();
        QCOMPARE(model.rowCount(), judgement.count(Verdict::Fail) + judgement.count(Verdict::Review));
        QCOMPARE(results.size(), model.rowCount());
        QStringList told;
        for (int row = 0; row < model.rowCount(); ++row) {
            const Element& element = model.element(row);
            QVERIFY(element.verdict != Verdict::Pass);
            if (row > 0) {
                const Element& before = model.element(row - 1);
                QVERIFY(before.verdict == Verdict::Fail || element.verdict == Verdict::Review);
                QVERIFY(before.verdict != element.verdict || before.index < element.index);
            }
            const QString line = PageCheckModel::reportLine(element);
            QVERIFY2(shape.match(line).hasMatch(), qPrintable(line));
            QVERIFY2(std::all_of(line.cbegin(), line.cend(), [](QChar c) { return keepsLineOrder(c) && c != u'\n'; }),
                qPrintable(line));
            for (int column = 0; column < PageCheckModel::ColumnCount; ++column) {
                const QString cell = model.data(model.index(row, column), Qt::DisplayRole).toString();
                QVERIFY(!cell.isEmpty() || column == PageCheckModel::Text || column == PageCheckModel::Selector);
                QVERIFY(std::all_of(cell.cbegin(), cell.cend(), keepsLineOrder));
            }
            // --check tells the row's text in the same place, and so does its SARIF log: a failure an error
            // and a review a note, under its check's rule, at its place.
            told << PageReport::elementLine(element, page, QStringLiteral("/"));
            const QJsonValue result = results[row];
            const QJsonValue physical = result[u"locations"][0][u"physicalLocation"];
            QCOMPARE(result[u"level"].toString(), element.verdict == Verdict::Fail ? u"error"_qs : u"note"_qs);
            QCOMPARE(result[u"ruleId"].toString(), PageJudgement::checkName(element.check));
            QCOMPARE(run[u"tool"][u"driver"][u"rules"][result[u"ruleIndex"].toInt()][u"id"], result[u"ruleId"]);
            QCOMPARE(physical[u"artifactLocation"][u"uri"].toString(), element.file.mid(6));
            QCOMPARE(physical[u"region"][u"startLine"].toInt(), element.line);
            QCOMPARE(physical[u"region"][u"startColumn"].toInt(), element.column);
        }
        QCOMPARE(PageReport::elementLines(judgement, page, QStringLiteral("/")), told);
        const QString counts = QStringLiteral("%1 pass, %2 fail, %3 review")
                                   .arg(judgement.count(Verdict::Pass))
                                   .arg(judgement.count(Verdict::Fail))
                                   .arg(judgement.count(Verdict::Review));
        QCOMPARE(PageReport::countsText(judgement), counts);
        const QString summary = PageCheckWindow::summaryText({QStringLiteral("/site/page.html"), judgement, {}}, false);
        QVERIFY2(
            summary.startsWith(QStringLiteral("page.html, light color scheme: ") + counts + u'.'), qPrintable(summary));
    }
}

void TestPageCheck::copiesTheSelectedRowsAndFollowsTheScheme()
{
    QRandomGenerator random(7);
    PageJudgement light = randomJudgement(random, 30);
    PageJudgement dark = randomJudgement(random, 12);
    light.missingSheets << QStringLiteral("css/gone.css");
    checks()->pageJudged(QStringLiteral("/site/page.html"), light, dark);
    PageCheckWindow* window = openWindow();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Page Check - page.html"));
    QVERIFY(window->summary()->text().endsWith(QStringLiteral("Not read, so not judged: css/gone.css.")));
    QTableView* table = window->table();
    QVERIFY(table->isEnabled());

    // Ctrl+A, Ctrl+C copies every row's report line.
    const auto copiesAll = [table](const PageJudgement& judgement) {
        QTest::keyClick(table, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
        QString lines;
        for (const Element& element : PageCheckModel::listed(judgement))
            lines += PageCheckModel::reportLine(element) + u'\n';
        QCOMPARE(QGuiApplication::clipboard()->text(), lines);
    };
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    table->setFocus();
    copiesAll(light);

    // One row, reached with the keyboard: the second.
    QTest::keyClick(table, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(table, Qt::Key_Down);
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(
        QGuiApplication::clipboard()->text(), PageCheckModel::reportLine(PageCheckModel::listed(light).at(1)) + u'\n');

    window->findChild<QRadioButton*>(QStringLiteral("PageCheckDark"))->click();
    QVERIFY(window->showsDark());
    QCOMPARE(window->model().rowCount(), dark.count(Verdict::Fail) + dark.count(Verdict::Review));
    QVERIFY(window->summary()->text().contains(QStringLiteral("dark color scheme")));
    copiesAll(dark);

    // A new page read while the window is open shows at once, in the scheme chosen.
    checks()->pageJudged(QStringLiteral("/site/other.html"), dark, light);
    QCOMPARE(window->windowTitle(), QStringLiteral("Page Check - other.html"));
    QCOMPARE(window->model().rowCount(), light.count(Verdict::Fail) + light.count(Verdict::Review));
}

// With no page the window says so and offers File > Open Page; a page that cannot be read judges nothing,
// one that can is read on the worker as a dropped file is and applied as one undo step, and then judged;
// a body tag alone judges nothing, while a page in the tag box is the tag box's page.
void TestPageCheck::withNoPageOffersOpenPage()
{
    PageCheckWindow* window = openWindow();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Page Check"));
    QCOMPARE(window->summary()->text(),
        QStringLiteral("Open or drop a page to check every text on it: File > Open Page, or Apply Tag on a page."));
    QCOMPARE(window->model().rowCount(), 0);
    QVERIFY(!window->table()->isEnabled());
    // Every control is named for a screen reader, by its own words or an accessible name.
    for (const char* name : {"PageCheckLight", "PageCheckDark", "PageCheckTable", "PageCheckOpen", "Command1"}) {
        auto* control = window->findChild<QWidget*>(QLatin1String(name));
        QVERIFY2(control, name);
        QVERIFY2(!control->accessibleName().isEmpty() || !control->property("text").toString().isEmpty(), name);
    }
    QCOMPARE(window->findChild<QLabel*>(QStringLiteral("PageCheckSummary"))->accessibleName(),
        PageCheckWindow::noPageText());
    // Its Open Page is File > Open Page: the page dialog, here cancelled, and nothing changes.
    m_dialogs->answerCancel();
    window->findChild<QPushButton*>(QStringLiteral("PageCheckOpen"))->click();
    QCOMPARE(m_dialogs->fileRequests.size(), 1);
    QCOMPARE(m_dialogs->fileRequests.first().title, QStringLiteral("Hueloom Open Page Dialog"));
    QVERIFY(m_dialogs->fileRequests.first().filter.contains(QStringLiteral("*.html;*.htm;*.css")));
    // A page that is gone is named in a message, and judges nothing.
    QAction* openPage = m_window->findChild<QAction*>(QStringLiteral("ItemOpenPage"));
    QCOMPARE(openPage->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+O")));
    m_dialogs->answerFile(m_dir->filePath(QStringLiteral("gone.html")));
    openPage->trigger();
    QCOMPARE(m_dialogs->messages.size(), 1);
    QVERIFY2(
        m_dialogs->messages.first().contains(QStringLiteral("gone.html")), qPrintable(m_dialogs->messages.first()));
    QVERIFY(!checks()->judgedPage());
    QCOMPARE(window->summary()->text(), PageCheckWindow::noPageText());

    QDir(m_dir->path()).mkpath(QStringLiteral("css"));
    put(m_dir->filePath(QStringLiteral("page.html")),
        "<!doctype html><link rel=stylesheet href=\"css/site.css\"><body><p class=faint>Fine print</p>\n");
    put(m_dir->filePath(QStringLiteral("css/site.css")),
        "body { background: #FFFFFF; color: #222222 }\n.faint { color: #BBBBBB }\n"
        "@media (prefers-color-scheme: dark) { body { background: #000000 } }\n");
    const QString before = m_probe->taglineText();
    const int steps = m_window->undoStack().count();
    m_dialogs->answerFile(m_dir->filePath(QStringLiteral("page.html")));
    openPage->trigger();
    QTRY_VERIFY(checks()->judgedPage().has_value());
    QCOMPARE(checks()->judgedPage()->fileName, m_dir->filePath(QStringLiteral("page.html")));
    QTRY_COMPARE(m_window->undoStack().count(), steps + 1);
    QVERIFY(m_probe->taglineText().contains(QStringLiteral("BGCOLOR=\"#FFFFFF\" TEXT=\"#222222\"")));
    QCOMPARE(m_dialogs->messages.size(), 1);
    // The page's name is the page dialog's own: Save Scheme does not offer it.
    QVERIFY(!m_window->findChild<CommonDialog*>()->FileName.endsWith(QStringLiteral(".html")));
    QCOMPARE(window->windowTitle(), QStringLiteral("Page Check - page.html"));
    QVERIFY(window->summary()->text().startsWith(QStringLiteral("page.html, light color scheme: ")));
    m_window->undoStack().undo();
    QCOMPARE(m_probe->taglineText(), before);
    // Undo takes the colours back, not the page judged.
    QVERIFY(checks()->judgedPage().has_value());
    const QList<Element> rows = PageCheckModel::listed(checks()->judgedPage()->light);
    QVERIFY(!rows.isEmpty());
    QCOMPARE(rows.first().verdict, Verdict::Fail);
    QCOMPARE(rows.first().text, QStringLiteral("Fine print"));
    QCOMPARE(PageCheckModel::placeText(rows.first()), QStringLiteral("page.html:1"));
    QCOMPARE(window->model().rowCount(), rows.size());

    // A body tag alone is no page: Apply Tag on it keeps the page judged before.
    m_probe->tagline()->setPlainText(QStringLiteral("<body bgcolor=red>"));
    m_window->findChild<QAction*>(QStringLiteral("ItemApplyTag"))->trigger();
    QCOMPARE(checks()->judgedPage()->fileName, m_dir->filePath(QStringLiteral("page.html")));
    // A page in the tag box is the tag box's page.
    m_probe->tagline()->setPlainText(QStringLiteral("<style>body{color:#123456}</style><p>Hi"));
    m_window->findChild<QAction*>(QStringLiteral("ItemApplyTag"))->trigger();
    QTRY_COMPARE(checks()->judgedPage()->fileName, QString());
    QCOMPARE(PageCheckWindow::summaryText(*checks()->judgedPage(), true).left(33),
        QStringLiteral("The tag box, dark color scheme: 1"));
}

HUELOOM_TEST_MAIN(TestPageCheck)
#include "tst_pagecheck.moc"
