#include "web/CustomProperties.h"

#include <QRandomGenerator>
#include <QTest>

// An element's custom properties share its parent's rather than copy them: along random chains of
// elements, as deep as pages nest, each reads exactly as a plain copy-and-set would, and setting one
// element's never shows in its parent's or a sibling's.
class TestCustomValues : public QObject {
    Q_OBJECT

private slots:
    void readsAsCopiesDo();
};

void TestCustomValues::readsAsCopiesDo()
{
    using Plain = QHash<QString, std::optional<CssValues>>;
    const auto shown = [](const std::optional<CssValues>& value) {
        return value ? CssParser::text(*value) : QStringLiteral("invalid");
    };
    QRandomGenerator random(8);
    const auto name = [&] { return QStringLiteral("--v%1").arg(random.bounded(12)); };
    const auto value = [&]() -> std::optional<CssValues> {
        if (random.bounded(5) == 0)
            return std::nullopt; // guaranteed-invalid
        return CssParser::values(QString::number(random.bounded(100)));
    };
    for (int run = 0; run < 200; ++run) {
        // A path from the root down, each element with its siblings' values kept beside it.
        QList<std::pair<CustomValues, Plain>> path{{CustomValues{}, Plain{}}};
        for (int depth = random.bounded(1, 30); depth > 0; --depth) {
            std::pair<CustomValues, Plain> sibling = path.last();
            std::pair<CustomValues, Plain> child = path.last();
            // The parent too takes one more after its children were made of it: theirs must not show it.
            for (auto* element : {&sibling, &child, &path.last()}) {
                if (element == &path.last() && random.bounded(3))
                    continue;
                for (int i = random.bounded(4); i > 0; --i) {
                    const QString n = name();
                    const std::optional<CssValues> v = value();
                    element->first.insert(n, v);
                    element->second.insert(n, v);
                }
            }
            path << sibling << child;
            for (const auto& [shared, plain] : std::as_const(path)) {
                QStringList keys = plain.keys();
                std::sort(keys.begin(), keys.end());
                QCOMPARE(shared.keys(), keys);
                for (int i = 0; i < 12; ++i) {
                    const QString n = QStringLiteral("--v%1").arg(i);
                    QCOMPARE(shared.contains(n), plain.contains(n));
                    QCOMPARE(shown(shared.value(n)), shown(plain.value(n, std::nullopt)));
                }
            }
            path.removeAt(path.size() - 2); // the sibling goes; its values must not have leaked
        }
    }
}

QTEST_GUILESS_MAIN(TestCustomValues)
#include "tst_customvalues.moc"
