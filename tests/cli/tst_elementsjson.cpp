#include "cli/PageReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTest>
#include <cmath>

// --check --json writes the judged elements by hand, for speed: whatever their texts, selectors and
// figures hold, a JSON reader reads back what was written.
class TestElementsJson : public QObject {
    Q_OBJECT

private slots:
    void readsBackWhatWasWritten();
};

void TestElementsJson::readsBackWhatWasWritten()
{
    QRandomGenerator random(35);
    // Plain ASCII most of the time, as real pages; then quotes, backslashes, controls, DEL and beyond.
    static const QString odd[] = {QStringLiteral("\""), QStringLiteral("\\"), QStringLiteral("\n"),
        QStringLiteral("\t"), QString(QChar(0x01)), QString(QChar(0x1F)), QString(QChar(0x7F)), QStringLiteral("é"),
        QString(QChar(0x2028)), QString(QChar(0xFFFD)), QStringLiteral("\U0001F600")};
    const auto text = [&] {
        QString result;
        for (int i = random.bounded(12); i > 0; --i)
            result
                += random.bounded(4) ? QString(QChar(char16_t(random.bounded(0x20, 0x7F)))) : odd[random.bounded(11)];
        return result;
    };
    const PageReport::Page page{QStringLiteral("p.html"), QStringLiteral("p.html"), QStringLiteral("light"), false};
    for (int run = 0; run < 300; ++run) {
        PageJudgement judgement;
        for (int i = random.bounded(4); i > 0; --i) {
            PageJudgement::Element element;
            element.index = random.bounded(-1, 1 << 30);
            element.line = random.bounded(0, 1 << 30);
            element.text = text();
            element.selector = text();
            element.tag = text();
            element.why = text();
            // Figures of every size and sign, zero too: each written as Qt writes it.
            element.ratio = random.bounded(8)
                ? 1 + random.generateDouble() * 20
                : (random.bounded(2) ? -1 : 1) * std::ldexp(random.generateDouble(), random.bounded(-40, 80));
            if (random.bounded(20) == 0)
                element.ratio = random.bounded(2) ? 0.0 : -0.0;
            element.lc = random.generateDouble() * 216 - 108;
            judgement.elements << element;
        }
        const QByteArray written = PageReport::elementsJson(judgement, page, QStringLiteral("/"));
        QJsonParseError error;
        const QJsonArray read = QJsonDocument::fromJson(written, &error).array();
        QVERIFY2(error.error == QJsonParseError::NoError, written.constData());
        QCOMPARE(read.size(), judgement.elements.size());
        for (qsizetype i = 0; i < read.size(); ++i) {
            const PageJudgement::Element& element = judgement.elements[i];
            const QJsonObject object = read[i].toObject();
            QCOMPARE(object[QStringLiteral("text")].toString(), element.text);
            QCOMPARE(object[QStringLiteral("selector")].toString(), element.selector);
            QCOMPARE(object[QStringLiteral("tag")].toString(), element.tag);
            QCOMPARE(object[QStringLiteral("why")].toString(), element.why);
            QCOMPARE(object[QStringLiteral("index")].toInt(), element.index);
            QCOMPARE(object[QStringLiteral("line")].toInt(), element.line);
            QCOMPARE(object[QStringLiteral("ratio")].toDouble(), element.ratio);
            const qsizetype at = written.indexOf("\"ratio\":",
                                     written.indexOf(QByteArray("\"index\":") + QByteArray::number(element.index)))
                + 8;
            QCOMPARE(written.mid(at, written.indexOf(',', at) - at),
                QByteArray::number(element.ratio, 'g', QLocale::FloatingPointShortest));
            QCOMPARE(object[QStringLiteral("lc")].toDouble(), element.lc);
        }
    }
}

QTEST_GUILESS_MAIN(TestElementsJson)
#include "tst_elementsjson.moc"
