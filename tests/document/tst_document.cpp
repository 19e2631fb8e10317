#include "document/SchemeDocument.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>

// Long random runs of every change the document takes, checking after each one that the tag is what
// the values and margins give, that each signal told exactly what changed, once, and that no call made
// more than one undo step; then that undoing and redoing everything are exact inverses.
class TestDocument : public QObject {
    Q_OBJECT
private slots:
    void randomOperationsKeepTheDocumentConsistent();
    void undoIsBounded();
};

namespace {

QColor randomColour(QRandomGenerator& random)
{
    return QColor::fromRgb(random.generate() & 0xFFFFFF);
}

ColourScheme randomScheme(QRandomGenerator& random)
{
    ColourScheme scheme;
    for (int slot = 0; slot < Slot::Count; ++slot)
        scheme.setColour(slot, randomColour(random));
    return scheme;
}

// One random call on the document; returns what it did, for the failure message.
QString operate(SchemeDocument& document, QRandomGenerator& random)
{
    const int kind = random.bounded(100);
    const int value = random.bounded(4) == 0 ? (random.bounded(2) ? 0 : 255) : random.bounded(256);
    const MarginSide side = random.bounded(2) ? MarginSide::Left : MarginSide::Top;
    if (kind < 10) {
        const int slot = random.bounded(Slot::Count);
        document.selectSlot(slot);
        return QStringLiteral("select %1").arg(slot);
    }
    if (kind < 40) {
        const int channel = random.bounded(Channel::Count);
        document.setChannel(channel, value);
        return QStringLiteral("channel %1 = %2").arg(channel).arg(value);
    }
    if (kind < 48) {
        const int slot = random.bounded(Slot::Count);
        document.setColour(slot, randomColour(random), QStringLiteral("Paste Color"));
        return QStringLiteral("colour of %1").arg(slot);
    }
    if (kind < 52) {
        document.replaceScheme(
            random.bounded(2) ? ColourScheme::defaults() : randomScheme(random), QStringLiteral("Open"));
        return QStringLiteral("replace scheme");
    }
    if (kind < 57) {
        SchemeState state = document.state();
        if (random.bounded(2))
            state.scheme = randomScheme(random);
        state.margins.setLeft(random.bounded(-5, 60));
        state.margins.setUseTop(random.bounded(2));
        state.leftStepped = state.leftStepped || random.bounded(2);
        document.applyState(state, QStringLiteral("Apply Tag"));
        return QStringLiteral("apply state");
    }
    if (kind < 72) {
        const int delta = random.bounded(2) ? 1 : -1;
        document.stepMargin(side, delta);
        return QStringLiteral("step margin by %1").arg(delta);
    }
    if (kind < 80) {
        const bool use = random.bounded(2);
        document.switchMargin(side, use, QStringLiteral("Use Margin"));
        return QStringLiteral("switch margin %1").arg(use);
    }
    if (kind < 83) {
        document.markSaved();
        return QStringLiteral("mark saved");
    }
    if (kind < 93) {
        document.undoStack().undo();
        return QStringLiteral("undo");
    }
    document.undoStack().redo();
    return QStringLiteral("redo");
}

} // namespace

void TestDocument::randomOperationsKeepTheDocumentConsistent()
{
    const quint32 seed = qEnvironmentVariableIsSet("HUELOOM_SEED") ? qEnvironmentVariableIntValue("HUELOOM_SEED")
                                                                   : QRandomGenerator::global()->generate();
    qInfo("seed %u (set HUELOOM_SEED to repeat)", seed);
    QRandomGenerator random(seed);

    SchemeDocument document(nullptr, 0);
    QSignalSpy selected(&document, &SchemeDocument::slotSelected);
    QSignalSpy scheme(&document, &SchemeDocument::schemeChanged);
    QSignalSpy margins(&document, &SchemeDocument::marginsChanged);
    QSignalSpy tag(&document, &SchemeDocument::tagWritten);
    QSignalSpy saved(&document, &SchemeDocument::savedChanged);
    document.selectSlot(Slot::Background);
    const SchemeState start = document.state();

    for (int i = 0; i < 20000; ++i) {
        for (QSignalSpy* spy : {&selected, &scheme, &margins, &tag, &saved})
            spy->clear();
        const SchemeState before = document.state();
        const int slotBefore = document.selectedSlot();
        const QString tagBefore = document.tag().text();
        const bool unsavedBefore = document.hasUnsavedChanges();
        const int stepsBefore = document.undoStack().count();

        const QString operation = operate(document, random);
        const auto fail = [&](const char* what) {
            QFAIL(qPrintable(QStringLiteral("after operation %1 (%2): %3").arg(i).arg(operation, what)));
        };
        const SchemeState& after = document.state();
        if (document.tag().text() != BodyTag::compose(after.scheme, after.margins))
            return fail("the tag is not the one the values and margins give");
        const auto toldOnce = [](const QSignalSpy& spy, bool changed) { return spy.count() == (changed ? 1 : 0); };
        if (!toldOnce(selected, document.selectedSlot() != slotBefore))
            return fail("slotSelected does not match the selection");
        if (!toldOnce(scheme, after.scheme != before.scheme))
            return fail("schemeChanged does not match the values");
        const bool marginsDiffer = after.margins != before.margins || after.leftStepped != before.leftStepped
            || after.topStepped != before.topStepped;
        if (margins.count() > 1 || (marginsDiffer && margins.count() != 1))
            return fail("marginsChanged does not match the margins");
        if (tag.count() > 1 || (document.tag().text() != tagBefore && tag.count() != 1))
            return fail("tagWritten does not match the tag");
        if (!toldOnce(saved, document.hasUnsavedChanges() != unsavedBefore))
            return fail("savedChanged does not match the saved state");
        if (scheme.count() == 1 && scheme.first().first().toInt() != SchemeDocument::SeveralSlots) {
            const int slot = scheme.first().first().toInt();
            for (int other = 0; other < Slot::Count; ++other)
                if (other != slot && after.scheme.colour(other) != before.scheme.colour(other))
                    return fail("a slot changed that schemeChanged did not name");
        }
        if (document.undoStack().count() > stepsBefore + 1)
            return fail("one call made more than one undo step");
    }

    // A run that ended on undos redoes only as far as it went.
    const SchemeState end = document.state();
    const int endIndex = document.undoStack().index();
    document.undoStack().setIndex(0);
    QCOMPARE(document.state(), start);
    QCOMPARE(document.tag().text(), BodyTag::compose(start.scheme, start.margins));
    document.undoStack().setIndex(endIndex);
    QCOMPARE(document.state(), end);
}

void TestDocument::undoIsBounded()
{
    QRandomGenerator random(7);
    SchemeDocument document;
    document.selectSlot(Slot::Text);
    for (int i = 0; i < 3 * SchemeDocument::UndoLimit; ++i)
        document.setColour(Slot::Text, randomColour(random), QStringLiteral("Paste Color"));
    QCOMPARE(document.undoStack().count(), SchemeDocument::UndoLimit);
}

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
