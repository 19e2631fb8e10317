#include "cli/PageReport.h"
#include "support/ReportLines.h"

#include <QRandomGenerator>
#include <QTest>

// How --check tells a page's judgement, tried on judgements made up here, since the reading's judge
// fills them from a real page: the lines and URIs (expected in data/pagereport-lines.json, which holds
// Page Check's lines of the same texts too) and the sniff of what is not text. The order of the lines,
// the SARIF log's results and the counts are tried on random judgements in tst_pagecheck, beside Page
// Check's list.
class TestPageReport : public QObject {
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void textIsToldFromBytesAndBlanks();
};

void TestPageReport::lines_data()
{
    QTest::addColumn<QJsonObject>("testCase");
    for (const QJsonValue& value : ReportLines::data()[u"cases"].toArray())
        if (value.toObject().contains(u"line"))
            QTest::newRow(qPrintable(value[u"name"].toString())) << value.toObject();
}

// Each case's line; and the URIs of files below the current folder and outside it.
void TestPageReport::lines()
{
    QFETCH(QJsonObject, testCase);
    const QJsonObject all = ReportLines::data();
    const QJsonValue base = all[u"page"];
    const PageReport::Page page{base[u"shown"].toString(), base[u"file"].toString(),
        testCase[u"page"][u"colourScheme"].toString(QStringLiteral("light")), testCase[u"page"][u"apca"].toBool()};
    const PageJudgement::Element element = ReportLines::element(testCase[u"element"].toObject(), page.file);
    QCOMPARE(PageReport::elementLine(element, page, all[u"currentFolder"].toString()), testCase[u"line"].toString());
    for (const QJsonValue& uri : all[u"artifactUris"].toArray())
        QCOMPARE(PageReport::artifactUri(uri[0].toString(), uri[1].toString()), uri[2].toString());
}

// Text of any script, encoded as UTF-8, and a Latin-1 page's few accented letters, are text; bytes drawn
// at random, and a NUL anywhere in what is looked at, are not; and only whitespace is blank.
void TestPageReport::textIsToldFromBytesAndBlanks()
{
    QRandomGenerator random(5);
    for (int round = 0; round < 300; ++round) {
        QString text;
        for (int i = random.bounded(1, 2000); i > 0; --i) {
            char32_t c = 0;
            do
                c = char32_t(random.bounded(round % 2 ? 0x20 : 0xA0, round % 3 ? 0x3000 : 0x10FFFF));
            while ((c >= 0xD800 && c <= 0xDFFF) || (c >= 0x7F && c < 0xA0));
            text += QString::fromUcs4(&c, 1) + (random.bounded(8) ? QString() : QStringLiteral(" \n\t"));
        }
        QVERIFY2(!PageReport::looksBinary(text.toUtf8()), qPrintable(QString::number(round)));
        QVERIFY(!PageReport::blank(text + QStringLiteral(" \u3000")));
        QByteArray bytes(random.bounded(64, 4096), Qt::Uninitialized);
        for (char& byte : bytes)
            byte = char(random.bounded(1, 256));
        QByteArray sheet = QByteArray("body { color: #333 }\n").repeated(random.bounded(1, 100));
        sheet[random.bounded(int(sheet.size()))] = '\0';
        QVERIFY2(PageReport::looksBinary(bytes) && PageReport::looksBinary(sheet), qPrintable(QString::number(round)));
    }
    QVERIFY(!PageReport::looksBinary(
        QByteArray("<p>Un caf\xe9 au bord de la rivi\xe8re, pr\xe8s de l'\xe9glise.</p>\n").repeated(50)));
    QVERIFY(!PageReport::looksBinary(QByteArray()));
    QVERIFY(PageReport::blank(u"") && PageReport::blank(u" \n\t\r\f\u00a0\u3000"));
}

QTEST_GUILESS_MAIN(TestPageReport)
#include "tst_pagereport.moc"
