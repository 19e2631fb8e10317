#include "app/MainWindow.h"
#include "app/SpinButton.h"
#include "support/ScriptedDialogs.h"
#include "support/TestApp.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QRandomGenerator>
#include <QToolButton>

// Long random runs of everything a user can do to the scheme, the tag and the margins, checking
// after every single operation that the window still tells one consistent story.
class TestModelProperty : public QObject {
    Q_OBJECT
private slots:
    void randomOperationsKeepEveryInvariant();
};

void TestModelProperty::randomOperationsKeepEveryInvariant()
{
    const quint32 seed = qEnvironmentVariableIsSet("HUELOOM_SEED") ? qEnvironmentVariableIntValue("HUELOOM_SEED")
                                                                   : QRandomGenerator::global()->generate();
    qInfo("seed %u (set HUELOOM_SEED to repeat)", seed);
    QRandomGenerator random(seed);

    MainWindow window(std::make_unique<ScriptedDialogs>());
    WindowProbe p(window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* defaults = window.findChild<QAction*>(QStringLiteral("ItemDefault"));
    SpinButton* spins[]
        = {p.child<SpinButton>(QStringLiteral("SpinButton2")), p.child<SpinButton>(QStringLiteral("SpinButton1"))};
    const QStyle::SubControl barParts[] = {QStyle::SC_ScrollBarAddLine, QStyle::SC_ScrollBarSubLine,
        QStyle::SC_ScrollBarAddPage, QStyle::SC_ScrollBarSubPage};

    constexpr int Operations = 20000;
    QString lastOperation;
    for (int i = 0; i < Operations; ++i) {
        const int kind = random.bounded(100);
        const int which = random.bounded(3);
        if (kind < 12) {
            const int slot = random.bounded(5);
            lastOperation = QStringLiteral("select slot %1").arg(slot);
            p.option(slot)->click();
        } else if (kind < 40) {
            const QStyle::SubControl part = barParts[random.bounded(4)];
            lastOperation = QStringLiteral("click part %1 of bar %2").arg(part).arg(which);
            p.bar(which)->triggerAction(part == QStyle::SC_ScrollBarAddLine ? QAbstractSlider::SliderSingleStepAdd
                    : part == QStyle::SC_ScrollBarSubLine                   ? QAbstractSlider::SliderSingleStepSub
                    : part == QStyle::SC_ScrollBarAddPage                   ? QAbstractSlider::SliderPageStepAdd
                                                                            : QAbstractSlider::SliderPageStepSub);
        } else if (kind < 55) {
            // Extreme values are worth more than their share.
            const int value = random.bounded(4) == 0 ? (random.bounded(2) ? 0 : 255) : random.bounded(256);
            lastOperation = QStringLiteral("set bar %1 to %2").arg(which).arg(value);
            p.bar(which)->setValue(value);
        } else if (kind < 65) {
            const int box = random.bounded(2);
            lastOperation = QStringLiteral("click box %1").arg(box);
            p.box(box)->click();
        } else if (kind < 95) {
            SpinButton* spin = spins[random.bounded(2)];
            const bool up = random.bounded(2);
            lastOperation = QStringLiteral("%1 arrow of %2").arg(up ? "up" : "down", spin->objectName());
            (up ? spin->upArrow() : spin->downArrow())->click();
        } else {
            lastOperation = QStringLiteral("Default Colors");
            defaults->trigger();
        }
        const QString broken = p.brokenInvariant();
        if (!broken.isEmpty())
            QFAIL(qPrintable(QStringLiteral("after operation %1 (%2): %3").arg(i).arg(lastOperation, broken)));
    }
}

HUELOOM_TEST_MAIN(TestModelProperty)
#include "tst_modelproperty.moc"
