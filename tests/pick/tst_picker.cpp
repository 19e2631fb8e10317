#include "app/MainActions.h"
#include "pick/ScreenPicker.h"
#include "support/TestApp.h"
#include "support/WindowTestCase.h"

#include <QAction>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QProcess>
#include <QUndoStack>

// A desktop portal of the test's own on a private session bus: its colour picker answers with a
// colour, cancels, never answers, or is missing, as each test needs.
class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
public:
    enum class Mode { Answer, Cancel, Silent, Missing };
    Mode mode = Mode::Answer;
    QColor colour;
    int asked = 0;
    QDBusConnection bus{QString()};

public slots:
    QDBusObjectPath PickColor(const QString&, const QVariantMap& options, const QDBusMessage& message)
    {
        ++asked;
        if (mode == Mode::Missing) {
            message.setDelayedReply(true);
            bus.send(message.createErrorReply(QDBusError::UnknownMethod, QStringLiteral("no picker here")));
            return {};
        }
        QString sender = message.service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString handle = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                                   .arg(sender, options.value(QStringLiteral("handle_token")).toString());
        if (mode != Mode::Silent) {
            QMetaObject::invokeMethod(
                this,
                [this, handle] {
                    QDBusMessage response = QDBusMessage::createSignal(
                        handle, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
                    QDBusArgument rgb;
                    rgb.beginStructure();
                    rgb << colour.redF() << colour.greenF() << colour.blueF();
                    rgb.endStructure();
                    response << uint(mode == Mode::Cancel ? 1 : 0)
                             << QVariantMap{{QStringLiteral("color"), QVariant::fromValue(rgb)}};
                    bus.send(response);
                },
                Qt::QueuedConnection);
        }
        return QDBusObjectPath(handle);
    }
};

class TestPicker : public WindowTestCase {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void portalGivesTheSelectedSlotItsColour_data();
    void portalGivesTheSelectedSlotItsColour();
    void silentPortalLeavesTheWindowWorking();
    void withoutPortalOrX11TheItemSaysWhy();

private:
    QTemporaryDir m_busDir;
    QProcess m_bus;
    FakePortal m_portal;
};

void TestPicker::initTestCase()
{
    // A bus of the test's own, with no services that could start on their own.
    QFile config(m_busDir.filePath(QStringLiteral("bus.conf")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("<busconfig><type>session</type><listen>unix:dir=" + m_busDir.path().toUtf8()
        + "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\" "
          "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>");
    config.close();
    m_bus.start(QStringLiteral("dbus-daemon"),
        {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
            QStringLiteral("--print-address")});
    QVERIFY(m_bus.waitForStarted());
    QTRY_VERIFY(m_bus.canReadLine());
    const QByteArray address = m_bus.readLine().trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    m_portal.bus = QDBusConnection::connectToBus(QString::fromUtf8(address), QStringLiteral("fakeportal"));
    QVERIFY(m_portal.bus.isConnected());
    QVERIFY(m_portal.bus.registerObject(
        QStringLiteral("/org/freedesktop/portal/desktop"), &m_portal, QDBusConnection::ExportAllSlots));
    QVERIFY(m_portal.bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
}

void TestPicker::cleanupTestCase()
{
    m_bus.terminate();
    m_bus.waitForFinished();
}

void TestPicker::portalGivesTheSelectedSlotItsColour_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<int>("messages");
    QTest::newRow("answers") << int(FakePortal::Mode::Answer) << true << 0;
    QTest::newRow("user cancels") << int(FakePortal::Mode::Cancel) << false << 0;
    // Offscreen, there is no X11 screen to grab instead, so the user is told.
    QTest::newRow("no picker in the portal") << int(FakePortal::Mode::Missing) << false << 1;
}

void TestPicker::portalGivesTheSelectedSlotItsColour()
{
    QFETCH(int, mode);
    QFETCH(bool, taken);
    QFETCH(int, messages);
    QAction* pick = m_window->actions().pickScreen;
    QTRY_VERIFY(pick->isEnabled());
    m_portal.mode = FakePortal::Mode(mode);
    m_portal.colour = QColor(0x12, 0xAB, 0xEF);
    m_portal.asked = 0;
    m_probe->option(Slot::VisitedLink)->click();
    const ColourScheme before = m_window->scheme();
    const int steps = m_window->undoStack().count();
    QTest::keySequence(m_window, QKeySequence(QStringLiteral("Ctrl+Shift+P")));
    QTRY_COMPARE(m_portal.asked, 1);
    ScreenPicker* picker = m_window->findChild<ScreenPicker*>();
    QTRY_VERIFY(!picker->isPicking());
    ColourScheme expected = before;
    if (taken)
        expected.setColour(Slot::VisitedLink, m_portal.colour);
    QCOMPARE(m_window->scheme(), expected);
    QCOMPARE(m_window->undoStack().count(), steps + (taken ? 1 : 0));
    if (taken)
        QCOMPARE(m_window->undoStack().undoText(), QStringLiteral("Pick from Screen"));
    QCOMPARE(m_dialogs->messages.size(), messages);
}

void TestPicker::silentPortalLeavesTheWindowWorking()
{
    m_portal.mode = FakePortal::Mode::Silent;
    ScreenPicker* picker = m_window->findChild<ScreenPicker*>();
    picker->setTimeLimit(1000);
    m_probe->option(Slot::Text)->click();
    QTRY_VERIFY(m_window->actions().pickScreen->isEnabled());
    m_window->actions().pickScreen->trigger();
    QVERIFY(picker->isPicking());
    // While the portal keeps silent, the bars still work.
    const int red = m_probe->bar(0)->value();
    m_probe->bar(0)->setValue(red ^ 1);
    QCOMPARE(m_window->scheme().channel(Slot::Text, Channel::Red), red ^ 1);
    QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->messages.size(), 1, 10000);
    QVERIFY(!picker->isPicking());
    QVERIFY2(m_dialogs->messages.first().contains(QStringLiteral("did not answer")),
        qPrintable(m_dialogs->messages.first()));
    QCOMPARE(m_window->scheme().channel(Slot::Text, Channel::Red), red ^ 1);
}

void TestPicker::withoutPortalOrX11TheItemSaysWhy()
{
    QVERIFY(m_portal.bus.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop")));
    MainWindow window{std::unique_ptr<DialogBackend>(new ScriptedDialogs)};
    const QAction* pick = window.actions().pickScreen;
    // Greyed while the bus is asked, and greyed for good once it has said there is no portal.
    QVERIFY(!pick->isEnabled());
    ScreenPicker* picker = window.findChild<ScreenPicker*>();
    QSignalSpy answered(picker, &ScreenPicker::availabilityChanged);
    QVERIFY(answered.wait());
    QVERIFY(m_portal.bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
    QVERIFY(!pick->isEnabled());
    QVERIFY2(pick->toolTip().contains(QStringLiteral("portal")) && pick->toolTip().contains(QStringLiteral("X11")),
        qPrintable(pick->toolTip()));
}

HUELOOM_TEST_MAIN(TestPicker)
#include "tst_picker.moc"
