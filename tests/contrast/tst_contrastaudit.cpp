#include "assist/ContrastAudit.h"
#include "cli/ContrastCommand.h"
#include "colour/Contrast.h"
#include "contrast/ContrastWindow.h"
#include "contrast/FixContrastWindow.h"
#include "support/TestApp.h"

#include <QIcon>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTableWidget>
#include <QTest>

using ContrastAudit::Target;

namespace {

// Random schemes lean towards the edges of the rules: greys and near-greys around a level pass or fail
// by a hair, where a second copy of a rule would be most likely to part from the first.
ColourScheme randomScheme(QRandomGenerator& random)
{
    ColourScheme scheme;
    const int grey = static_cast<int>(random.bounded(256));
    for (int slot = 0; slot < Slot::Count; ++slot) {
        const bool nearGrey = random.bounded(2) == 0;
        for (int channel = 0; channel < Channel::Count; ++channel) {
            const int value = nearGrey ? std::clamp(grey + static_cast<int>(random.bounded(-24, 25)), 0, 255)
                                       : static_cast<int>(random.bounded(256));
            scheme.setChannel(slot, channel, static_cast<qint16>(value));
        }
    }
    return scheme;
}

QByteArray fiveColours(const ColourScheme& scheme)
{
    QStringList colours;
    for (int slot = 0; slot < Slot::Count; ++slot)
        colours << scheme.colour(slot).name();
    return colours.join(QLatin1Char(',')).toLatin1();
}

QString mark(bool passes)
{
    return passes ? QStringLiteral("\u2713") : QStringLiteral("\u2717");
}

} // namespace

class TestContrastAudit : public QObject {
    Q_OBJECT
private slots:
    void everyViewAgreesWithTheAudit();
};

// The audit, --check --json, Contrast Check's table and Fix Contrast's figures read every scheme alike.
void TestContrastAudit::everyViewAgreesWithTheAudit()
{
    QRandomGenerator random(2501);
    ContrastWindow window;
    for (int n = 0; n < 1000; ++n) {
        const ColourScheme scheme = randomScheme(random);
        const QString where = QString::fromLatin1(fiveColours(scheme));
        window.showScheme(scheme);
        const auto all = ContrastAudit::audit(scheme, Target::AA, false);
        const auto aaa = ContrastAudit::audit(scheme, Target::AAA, false);
        for (int row = 0; row < 7; ++row) {
            const ContrastAudit::Pair& pair = all.at(static_cast<std::size_t>(row));
            const QStringList cells = window.rowTexts(row);
            QCOMPARE(cells.at(0), Contrast::ratioText(pair.ratio) + QStringLiteral(":1"));
            QCOMPARE(cells.at(1), QString::number(pair.lc, 'f', 1));
            // The row's swatch: its colour inside, on the ground it is read on.
            const QImage swatch = window.table()->verticalHeaderItem(row)->icon().pixmap(16, 16).toImage();
            QCOMPARE(swatch.pixelColor(8, 8), scheme.colour(pair.kind.fore));
            QCOMPARE(swatch.pixelColor(2, 2), scheme.colour(pair.kind.back));
            // AA normal and AAA normal for the page; the one merged verdict for a link against the text.
            QVERIFY2(cells.at(2).startsWith(mark(pair.passes)), qPrintable(where));
            if (!pair.kind.fromText())
                QVERIFY2(cells.at(4).startsWith(mark(aaa.at(static_cast<std::size_t>(row)).passes)), qPrintable(where));
        }
        for (const Target target : ContrastAudit::Targets) {
            for (const bool underlined : {false, true}) {
                const auto pairs = ContrastAudit::audit(scheme, target, underlined);
                QCOMPARE(pairs.size(), underlined ? 4u : 7u);

                ContrastCommand::Options options;
                options.target = target;
                options.linksUnderlined = underlined;
                options.json = true;
                options.schemes = {fiveColours(scheme)};
                const ContrastCommand::Result result = ContrastCommand::check(options);
                QCOMPARE(result.status,
                    ContrastAudit::allPass(pairs) ? ContrastCommand::AllPass : ContrastCommand::SomeFail);
                const QJsonArray json = QJsonDocument::fromJson(result.output.toUtf8())
                                            .object()[QStringLiteral("schemes")]
                                            .toArray()
                                            .at(0)[QStringLiteral("pairs")]
                                            .toArray();
                QCOMPARE(json.size(), static_cast<qsizetype>(pairs.size()));

                // Fix Contrast: the text line, then a line per link with its figure against the text.
                const QStringList lines = FixContrastWindow::ratioText(scheme, target, underlined).split(u'\n');
                QCOMPARE(lines.size(), 4);
                for (std::size_t i = 0; i < pairs.size(); ++i) {
                    const ContrastAudit::Pair& pair = pairs[i];
                    const QJsonObject got = json.at(static_cast<qsizetype>(i)).toObject();
                    QCOMPARE(got[QStringLiteral("ratio")].toDouble(), pair.ratio);
                    QCOMPARE(got[QStringLiteral("lc")].toDouble(), pair.lc);
                    QVERIFY2(got[QStringLiteral("pass")].toBool() == pair.passes, qPrintable(where));

                    const QString line = lines.at(pair.kind.fore - 1);
                    const bool byLc = ContrastAudit::isApca(target) && !pair.kind.fromText();
                    const QString figure = byLc ? QStringLiteral("Lc %1 ").arg(QString::number(pair.lc, 'f', 1))
                                                : Contrast::ratioText(pair.ratio) + QStringLiteral(":1 ");
                    const QString part = pair.kind.fromText() ? QStringLiteral(", from text ") + figure : figure;
                    QVERIFY2(line.contains(part + mark(pair.passes)), qPrintable(where + QLatin1Char(' ') + line));
                }
            }
        }
    }
}

HUELOOM_TEST_MAIN(TestContrastAudit)
#include "tst_contrastaudit.moc"
