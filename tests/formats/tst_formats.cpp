#include "colour/ColourFormats.h"
#include "colour/Srgb.h"
#include "css/ColourText.h"
#include "formats/FoundText.h"
#include "formats/SchemeFormats.h"
#include "web/TagReader.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <cmath>

using ColourFormats::Format;
using SchemeFormats::Shape;

class TestFormats : public QObject {
    Q_OBJECT
private slots:
    void everyColourTextReadsBack();
    void everySchemeShapeReadsBack();
    void readsTokensAndProperties_data();
    void readsTokensAndProperties();
    void slotPropertiesCountWhereTheCascadeTakesThem();
};

namespace {

QList<QColor> sample()
{
    // Every grey and every corner and edge of the cube, where hue and saturation fall apart, and a random rest.
    QList<QColor> colours;
    for (int v = 0; v < 256; ++v)
        colours << QColor(v, v, v) << QColor(v, 0, 0) << QColor(255, v, 255) << QColor(0, v, 255);
    QRandomGenerator random(21);
    const int count = qEnvironmentVariableIntValue("HUELOOM_COLOURS") > 0
        ? qEnvironmentVariableIntValue("HUELOOM_COLOURS")
        : 200000;
    for (int i = 0; i < count; ++i)
        colours << QColor::fromRgb(random.generate() & 0xFFFFFF);
    return colours;
}

} // namespace

void TestFormats::everyColourTextReadsBack()
{
    const QRegularExpression shapes[] = {
        QRegularExpression(QStringLiteral("^#[0-9A-F]{6}$")),
        QRegularExpression(QStringLiteral(R"(^rgb\(\d{1,3} \d{1,3} \d{1,3}\)$)")),
        QRegularExpression(QStringLiteral(R"(^hsl\((\d+(\.\d{1,3})?) (\d+(\.\d{1,3})?)% (\d+(\.\d{1,3})?)%\)$)")),
        QRegularExpression(QStringLiteral(R"(^oklch\((\d+(\.\d{1,3})?)% (\d(\.\d{1,5})?) (\d+(\.\d{1,3})?)\)$)")),
    };
    int worst = 0;
    for (const QColor& colour : sample()) {
        for (const Format format : ColourFormats::formats) {
            const QString text = ColourFormats::write(colour, format);
            QVERIFY2(shapes[static_cast<int>(format)].match(text).hasMatch(), qPrintable(text));
            // Paste Color reads them through ColourText, as a browser does.
            const std::optional<QColor> back = ColourText::parse(text);
            QVERIFY2(back && back->rgb() == colour.rgb(), qPrintable(colour.name() + QLatin1Char(' ') + text));
            worst = std::max(worst, static_cast<int>(text.size()));
        }
        // oklch() is read by the exact inverse of the writer's maths: far more digits change nothing.
        const Srgb::Oklab lab = Srgb::oklab(Srgb::linear(colour));
        const double hue = std::atan2(lab.b, lab.a) * 180 / M_PI;
        const QString exact = QStringLiteral("oklch(%1 %2 %3deg)")
                                  .arg(lab.L, 0, 'f', 12)
                                  .arg(std::hypot(lab.a, lab.b), 0, 'f', 12)
                                  .arg(hue < 0 ? hue + 360 : hue, 0, 'f', 12);
        QCOMPARE(ColourText::parse(exact)->argb(), colour.rgb());
    }
    qInfo("longest colour text: %d characters", worst);
}

void TestFormats::everySchemeShapeReadsBack()
{
    QRandomGenerator random(2026);
    for (int round = 0; round < 2000; ++round) {
        ColourScheme scheme;
        for (int field = 0; field < ColourScheme::ValueCount; ++field)
            scheme.setValue(field, static_cast<qint16>(random.bounded(256)));
        Margins margins;
        margins.setLeft(random.bounded(51));
        margins.setTop(random.bounded(51));
        margins.setUseLeft(random.bounded(2) == 1);
        margins.setUseTop(random.bounded(2) == 1);
        for (const Shape shape : SchemeFormats::shapes) {
            const QString text = SchemeFormats::write(shape, scheme, margins);
            // As Apply Tag reads it.
            const TagReader::Found found = TagReader::read(text);
            ColourScheme applied = ColourScheme::defaults();
            Margins appliedMargins;
            FoundText::apply(found, applied, appliedMargins);
            QVERIFY2(applied == scheme, qPrintable(text));
            if (shape == Shape::CssRules || shape == Shape::CustomProperties) {
                QCOMPARE(found.leftMargin.has_value(), margins.useLeft());
                QCOMPARE(found.topMargin.has_value(), margins.useTop());
            }
        }
    }
}

void TestFormats::readsTokensAndProperties_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("colours"); // per slot, "" for none
    QTest::newRow("nested groups, hex strings")
        << R"({"page": {"$type": "color", "background": {"$value": "#102030"}, "text": {"$value": "white"}},
               "link": {"visited": {"$type": "color", "$value": {"hex": "#0000ff"}}}})"
        << QStringList{"#102030", "#ffffff", "", "#0000ff", ""};
    QTest::newRow("components beat a stale hex, other types are passed over")
        << R"({"link": {"$type": "color", "$value": {"colorSpace": "srgb", "components": [1, 0.5, 0], "hex": "#000000"}},
               "link-active": {"$type": "dimension", "$value": "#ffffff"}, "page-text": {"$value": "nonsense"}})"
        << QStringList{"", "", "#ff8000", "", ""};
    QTest::newRow("Tailwind names, last one counts, near names ignored")
        << "@theme { --color-link: oklch(62.8% 0.2577 29.23); --link-hover: #00ff00; --color-link: red;\n"
           "--page-text-muted: #00ff00; --page-text:#123456 }"
        << QStringList{"", "#123456", "#ff0000", "", ""};
    QTest::newRow("broken JSON is text") << R"({"page-background": {"$value": "#fff"})"
                                         << QStringList{"", "", "", "", ""};
}

void TestFormats::readsTokensAndProperties()
{
    QFETCH(QString, text);
    QFETCH(QStringList, colours);
    const TagReader::Found found = TagReader::readNamed(text);
    for (int slot = 0; slot < Slot::Count; ++slot) {
        const auto& colour = found.colours[static_cast<std::size_t>(slot)];
        QCOMPARE(colour ? colour->name() : QString(), colours.at(slot));
    }
}

// A slot's custom property counts only as the cascade leaves it on the body: the written shapes put
// in a comment, a print rule or an unmet @supports give nothing, and the page's own rules decide; put
// in a screen rule or a met @supports, their rules are the page's own and the cascade decides, as in a
// browser. A lone tag's style attribute is the body's.
void TestFormats::slotPropertiesCountWhereTheCascadeTakesThem()
{
    const auto hex = [](const QColor& colour) { return colour.name(QColor::HexRgb); };
    QRandomGenerator random(77);
    for (int round = 0; round < 300; ++round) {
        ColourScheme scheme;
        for (int field = 0; field < ColourScheme::ValueCount; ++field)
            scheme.setValue(field, static_cast<qint16>(random.bounded(256)));
        const QColor text = QColor::fromRgb(random.generate() & 0xFFFFFF);
        const QColor back = QColor::fromRgb(random.generate() & 0xFFFFFF);
        const QString page = QStringLiteral(" body { color: %1; background: %2 }").arg(hex(text), hex(back));
        for (const Shape shape : {Shape::CustomProperties, Shape::Tailwind}) {
            const QString written = SchemeFormats::write(shape, scheme, Margins());
            for (const QString& hidden : {QStringLiteral("/* %1 */"), QStringLiteral("@media print { %1 }"),
                     QStringLiteral("@supports (color: nonsense) { %1 }")}) {
                const QString css = hidden.arg(written) + page;
                const TagReader::Found found = TagReader::read(css);
                QVERIFY2(found.colours[Slot::Text] == text && found.colours[Slot::Background] == back, qPrintable(css));
                QVERIFY2(TagReader::readNamed(css).isEmpty(), qPrintable(css));
            }
        }
        const QString written = SchemeFormats::write(Shape::CustomProperties, scheme, Margins());
        for (const QString& shown :
            {QStringLiteral("@media screen { %1 }"), QStringLiteral("@supports (color: red) { %1 }")}) {
            const QString css = shown.arg(written) + page;
            ColourScheme applied = ColourScheme::defaults();
            Margins margins;
            FoundText::apply(TagReader::read(css), applied, margins);
            ColourScheme expected = scheme;
            expected.setColour(Slot::Text, Rgb::fromArgb(text.rgb()));
            expected.setColour(Slot::Background, Rgb::fromArgb(back.rgb()));
            QVERIFY2(applied == expected, qPrintable(css));
        }
        // A lone tag: its custom properties over its attributes, var() followed.
        const QString tag = QStringLiteral("<body text=\"%1\" style=\"--x: %2; --page-text: var(--x)\">")
                                .arg(hex(text), hex(scheme.colour(Slot::Text)));
        const TagReader::Found found = TagReader::read(tag);
        QVERIFY2(found.colours[Slot::Text] == scheme.colour(Slot::Text) && !found.colours[Slot::Background],
            qPrintable(tag));
    }
    // Design tokens give the slots they name, and no others, on the way every text is read.
    const QString tokens = QStringLiteral(R"({"link": {"$type": "color", "$value": "#102030"}})");
    QCOMPARE(TagReader::read(tokens), TagReader::readNamed(tokens));
    QCOMPARE(TagReader::read(tokens).colours[Slot::NewLink], QColor(0x10, 0x20, 0x30));
    QVERIFY(!TagReader::read(tokens).colours[Slot::Text]);
}

QTEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"
