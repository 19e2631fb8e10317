#include "app/MainActions.h"
#include "app/MainWindow.h"
#include "support/TestApp.h"
#include "support/WindowTestCase.h"

#include <QAction>
#include <QClipboard>
#include <QRandomGenerator>
#include <QUndoStack>

// The window on today's desktops: colours out in every shape and back in, by the real actions.
class TestDesktop : public WindowTestCase {
    Q_OBJECT
private slots:
    void copiedColoursPasteBack();
    void copiedSchemesApplyBack();
};

void TestDesktop::copiedColoursPasteBack()
{
    SchemeDocument& document = m_window->document();
    const MainActions& a = m_window->actions();
    QRandomGenerator random(7);
    for (int round = 0; round < 300; ++round) {
        const QColor colour = QColor::fromRgb(random.generate() & 0xFFFFFF);
        document.selectSlot(Slot::Text);
        document.setColour(Slot::Text, colour, QStringLiteral("set"));
        for (QAction* copy : {a.copyHex, a.copyRgb, a.copyHsl, a.copyOklch}) {
            copy->trigger();
            const QString text = QGuiApplication::clipboard()->text();
            document.selectSlot(Slot::VisitedLink);
            const int steps = document.undoStack().count();
            a.pasteColour->trigger();
            QVERIFY2(document.scheme().colour(Slot::VisitedLink) == colour, qPrintable(text));
            QVERIFY(document.undoStack().count() <= steps + 1);
            document.selectSlot(Slot::Text);
        }
    }
}

void TestDesktop::copiedSchemesApplyBack()
{
    SchemeDocument& document = m_window->document();
    const MainActions& a = m_window->actions();
    QRandomGenerator random(8);
    for (int round = 0; round < 50; ++round) {
        for (QAction* copy : {a.copyCss, a.copyProperties, a.copyTailwind, a.copyTokens}) {
            ColorScheme scheme;
            for (int field = 0; field < ColorScheme::ValueCount; ++field)
                scheme.setValue(field, static_cast<qint16>(random.bounded(256)));
            document.replaceScheme(scheme, QStringLiteral("set"));
            copy->trigger();
            a.defaultColours->trigger();
            m_probe->tagline()->setPlainText(QGuiApplication::clipboard()->text());
            const int steps = document.undoStack().count();
            a.applyTag->trigger();
            QVERIFY2(document.scheme() == scheme, qPrintable(copy->objectName()));
            QCOMPARE(document.undoStack().count(), steps + 1);
        }
    }
}

HUELOOM_TEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
