#include "cli/PageReport.h"
#include "support/ReportLines.h"

#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTest>

// How --check tells a page's judgement, tried on judgements made up here, since the reading's judge
// fills them from a real page: the lines and URIs (expected in data/pagereport-lines.json, which holds
// Page Check's lines of the same texts too), the SARIF log and the sniff of what is not text.
class TestPageReport : public QObject {
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void sarifAndCountsTellEveryVerdict();
    void artifactUris();
    void textIsToldFromBytesAndBlanks();
};

namespace {

using Element = PageJudgement::Element;
using ReportLines::data;

PageReport::Page page(const QJsonObject& base, const QJsonObject& changes)
{
    PageReport::Page page{base[QStringLiteral("shown")].toString(), base[QStringLiteral("file")].toString(),
        QStringLiteral("light"), false};
    if (changes.contains(QStringLiteral("colourScheme")))
        page.colourScheme = changes[QStringLiteral("colourScheme")].toString();
    page.apca = changes[QStringLiteral("apca")].toBool();
    return page;
}

// A judgement of `count` elements with verdicts and lines drawn at random.
PageJudgement randomJudgement(QRandomGenerator& random, int count)
{
    PageJudgement judgement;
    for (int i = 0; i < count; ++i) {
        Element element;
        element.index = i;
        element.line = i + 1;
        element.column = random.bounded(1, 80);
        element.text = QStringLiteral("text %1").arg(i);
        element.verdict = static_cast<PageJudgement::Verdict>(random.bounded(3));
        element.check = static_cast<PageJudgement::Check>(random.bounded(2));
        element.ratio = 1 + random.generateDouble() * 20;
        judgement.elements << element;
    }
    return judgement;
}

} // namespace

void TestPageReport::lines_data()
{
    QTest::addColumn<QJsonObject>("testCase");
    for (const QJsonValue& value : data()[QStringLiteral("cases")].toArray())
        if (value.toObject().contains(QStringLiteral("line")))
            QTest::newRow(qPrintable(value[QStringLiteral("name")].toString())) << value.toObject();
}

void TestPageReport::lines()
{
    QFETCH(QJsonObject, testCase);
    const QJsonObject all = data();
    const PageReport::Page shown
        = page(all[QStringLiteral("page")].toObject(), testCase[QStringLiteral("page")].toObject());
    const Element judged = ReportLines::element(testCase[QStringLiteral("element")].toObject(), shown.file);
    const QString line = PageReport::elementLine(judged, shown, all[QStringLiteral("currentFolder")].toString());
    QCOMPARE(line, testCase[QStringLiteral("line")].toString());
}

// Whatever the verdicts, the SARIF log has one result per failure and review, a failure an error and a
// review a note, each at its element's place; the counts tell every verdict. (The order of the lines is
// tried against Page Check's in tst_pagecheck.)
void TestPageReport::sarifAndCountsTellEveryVerdict()
{
    QRandomGenerator random(7);
    const PageReport::Page shown{
        QStringLiteral("site/p.html"), QStringLiteral("/w/site/p.html"), QStringLiteral("light"), false};
    for (int round = 0; round < 200; ++round) {
        const PageJudgement judgement = randomJudgement(random, random.bounded(0, 30));
        const qsizetype fails = judgement.count(PageJudgement::Verdict::Fail);
        QCOMPARE(PageReport::countsText(judgement),
            QStringLiteral("%1 pass, %2 fail, %3 review")
                .arg(judgement.count(PageJudgement::Verdict::Pass))
                .arg(fails)
                .arg(judgement.count(PageJudgement::Verdict::Review)));

        PageReport::Sarif sarif;
        sarif.version = QStringLiteral("1.2.3");
        sarif.currentFolder = QStringLiteral("/w");
        sarif.add(judgement, shown);
        const QJsonObject log = sarif.log();
        QCOMPARE(log[QStringLiteral("version")].toString(), QStringLiteral("2.1.0"));
        const QJsonObject run = log[QStringLiteral("runs")].toArray().at(0).toObject();
        const QJsonObject driver = run[QStringLiteral("tool")][QStringLiteral("driver")].toObject();
        QCOMPARE(driver[QStringLiteral("name")].toString(), QStringLiteral("Hueloom"));
        QCOMPARE(driver[QStringLiteral("version")].toString(), QStringLiteral("1.2.3"));
        const QJsonArray rules = driver[QStringLiteral("rules")].toArray();
        const QJsonArray results = run[QStringLiteral("results")].toArray();
        QCOMPARE(results.size(), fails + judgement.count(PageJudgement::Verdict::Review));
        qsizetype errors = 0;
        for (const QJsonValue& result : results) {
            const QString level = result[QStringLiteral("level")].toString();
            QVERIFY(level == QLatin1String("error") || level == QLatin1String("note"));
            errors += level == QLatin1String("error");
            QCOMPARE(rules.at(result[QStringLiteral("ruleIndex")].toInt())[QStringLiteral("id")],
                result[QStringLiteral("ruleId")]);
            const QJsonObject physical
                = result[QStringLiteral("locations")][0][QStringLiteral("physicalLocation")].toObject();
            QCOMPARE(physical[QStringLiteral("artifactLocation")][QStringLiteral("uri")].toString(),
                QStringLiteral("site/p.html"));
            const Element& element
                = judgement.elements.at(physical[QStringLiteral("region")][QStringLiteral("startLine")].toInt() - 1);
            QCOMPARE(physical[QStringLiteral("region")][QStringLiteral("startColumn")].toInt(), element.column);
            QCOMPARE(result[QStringLiteral("ruleId")].toString(), PageJudgement::checkName(element.check));
        }
        QCOMPARE(errors, fails);
    }
}

// The URIs of files below the current folder and outside it, as data/pagereport-lines.json lists them.
void TestPageReport::artifactUris()
{
    for (const QJsonValue& uri : data()[QStringLiteral("artifactUris")].toArray())
        QCOMPARE(PageReport::artifactUri(uri[0].toString(), uri[1].toString()), uri[2].toString());
}

// Text of any script, encoded as UTF-8, and a Latin-1 page's few accented letters, are text; bytes drawn
// at random, and a NUL anywhere in what is looked at, are not; and only whitespace is blank.
void TestPageReport::textIsToldFromBytesAndBlanks()
{
    QRandomGenerator random(5);
    for (int round = 0; round < 300; ++round) {
        QString text;
        const int length = random.bounded(1, 2000);
        for (int i = 0; i < length; ++i) {
            char32_t c = 0;
            do
                c = char32_t(random.bounded(round % 2 ? 0x20 : 0xA0, round % 3 ? 0x3000 : 0x10FFFF));
            while ((c >= 0xD800 && c <= 0xDFFF) || (c >= 0x7F && c < 0xA0));
            text += QString::fromUcs4(&c, 1);
            if (random.bounded(8) == 0)
                text += QStringLiteral(" \n\t");
        }
        QVERIFY2(!PageReport::looksBinary(text.toUtf8()), qPrintable(QString::number(round)));
        QVERIFY(!PageReport::blank(text + QStringLiteral(" \u3000")));
        QByteArray bytes(random.bounded(64, 4096), Qt::Uninitialized);
        for (char& byte : bytes)
            byte = char(random.bounded(1, 256));
        QVERIFY2(PageReport::looksBinary(bytes), qPrintable(QString::number(round)));
        QByteArray sheet = QByteArray("body { color: #333 }\n").repeated(random.bounded(1, 100));
        sheet[random.bounded(int(sheet.size()))] = '\0';
        QVERIFY(PageReport::looksBinary(sheet));
    }
    const QByteArray latin1
        = QByteArray("<p>Un caf\xe9 au bord de la rivi\xe8re, pr\xe8s de l'\xe9glise.</p>\n").repeated(50);
    QVERIFY(!PageReport::looksBinary(latin1));
    QVERIFY(!PageReport::looksBinary(QByteArray()));
    QVERIFY(PageReport::blank(u""));
    QVERIFY(PageReport::blank(u" \n\t\r\f\u00a0\u3000"));
}

QTEST_GUILESS_MAIN(TestPageReport)
#include "tst_pagereport.moc"
