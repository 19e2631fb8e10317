#include "ScreenPicker.h"

#include "GrabPicker.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QWidget>
#include <cmath>
#include <functional>

namespace {

const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString RequestInterface = QStringLiteral("org.freedesktop.portal.Request");
// A question to the bus itself never takes long; a bus that does not answer counts as none.
constexpr int BusTimeout = 2000;

// Asks the bus itself (`method` with `arguments`) without waiting; `answer` gets the first value of the
// reply, or an invalid one when the bus did not answer.
void askBus(QObject* context,
    const QString& method,
    const QVariantList& arguments,
    const std::function<void(const QVariant&)>& answer)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"), method);
    call.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call, BusTimeout), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context, [answer](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        const QDBusMessage reply = done->reply();
        answer(reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() ? reply.arguments().first()
                                                                                          : QVariant());
    });
}

int code(double channel)
{
    return static_cast<int>(std::lround(std::clamp(channel, 0.0, 1.0) * 255));
}

} // namespace

ScreenPicker::ScreenPicker(QWidget* window)
    : QObject(window)
    , m_window(window)
    , m_grab(QGuiApplication::platformName() == QLatin1String("xcb"))
{
    // Whether a portal runs, or would be started, is asked without waiting on the bus meanwhile. Under
    // X11 the screen can be grabbed anyway, so the bus is asked only at the first pick and costs the
    // start nothing; elsewhere the menu item's state depends on the answer, so it is asked at once.
    if (!m_grab)
        QTimer::singleShot(0, this, [this] { lookForPortal({}); });
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        const QString handle = m_handle;
        stopListening();
        // Asks the portal to close its picker; no answer is awaited.
        if (!handle.isEmpty())
            QDBusConnection::sessionBus().asyncCall(
                QDBusMessage::createMethodCall(PortalService, handle, RequestInterface, QStringLiteral("Close")));
        finish();
        emit failed(tr("The desktop's colour picker did not answer within %n second(s), so nothing was picked.",
            nullptr, m_timeLimit / 1000));
    });
}

ScreenPicker::~ScreenPicker() = default;

QString ScreenPicker::unavailableReason() const
{
    if (m_portal || m_grab)
        return {};
    if (m_looking)
        return tr("Looking for the desktop's colour picker…");
    return tr("No desktop portal answers on the session bus, and the screen can be grabbed only under X11, so "
              "no colour can be picked from the screen here.");
}

void ScreenPicker::lookForPortal(const std::function<void()>& then)
{
    const auto found = [this, then](bool present) {
        m_portal = present;
        m_looking = false;
        emit availabilityChanged();
        if (then)
            then();
    };
    if (!QDBusConnection::sessionBus().isConnected()) {
        found(false);
        return;
    }
    askBus(this, QStringLiteral("NameHasOwner"), {PortalService}, [this, found](const QVariant& running) {
        if (running.toBool()) {
            found(true);
            return;
        }
        askBus(this, QStringLiteral("ListActivatableNames"), {},
            [found](const QVariant& names) { found(names.toStringList().contains(PortalService)); });
    });
}

void ScreenPicker::pick()
{
    if (m_picking || !unavailableReason().isEmpty())
        return;
    m_picking = true;
    const auto start = [this] {
        if (m_portal)
            pickWithPortal();
        else
            pickByGrab();
    };
    if (m_looking)
        lookForPortal(start);
    else
        start();
}

void ScreenPicker::pickWithPortal()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    // The answer comes on a request object whose path the token fixes; listening starts before asking,
    // so that a quick answer cannot be missed.
    const QString token = QStringLiteral("hueloom%1_%2").arg(QCoreApplication::applicationPid()).arg(++m_requests);
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    listenOn(PortalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token);

    QDBusMessage call = QDBusMessage::createMethodCall(
        PortalService, PortalPath, QStringLiteral("org.freedesktop.portal.Screenshot"), QStringLiteral("PickColor"));
    const QString parent = QGuiApplication::platformName() == QLatin1String("xcb")
        ? QStringLiteral("x11:%1").arg(m_window->window()->winId(), 0, 16)
        : QString();
    call << parent << QVariantMap{{QStringLiteral("handle_token"), token}};
    // The call itself may hang too; the deadline below ends the pick first and says why.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, m_timeLimit + 1000), this);
    m_deadline.start(m_timeLimit);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        if (!m_picking || m_handle.isEmpty())
            return;
        const QDBusPendingReply<QDBusObjectPath> reply = *finished;
        if (reply.isError()) {
            stopListening();
            // A portal without a colour picker: grab the screen where that works.
            if (m_grab && reply.error().type() != QDBusError::Timeout && reply.error().type() != QDBusError::NoReply) {
                pickByGrab();
                return;
            }
            finish();
            emit failed(tr("The desktop's colour picker could not be used: %1").arg(reply.error().message()));
            return;
        }
        // Older portals choose the request path themselves.
        if (reply.value().path() != m_handle)
            listenOn(reply.value().path());
    });
}

void ScreenPicker::listenOn(const QString& handle)
{
    stopListening();
    m_handle = handle;
    QDBusConnection::sessionBus().connect(QString(), m_handle, RequestInterface, QStringLiteral("Response"), this,
        SLOT(portalResponse(uint, QVariantMap)));
}

void ScreenPicker::stopListening()
{
    if (m_handle.isEmpty())
        return;
    QDBusConnection::sessionBus().disconnect(QString(), m_handle, RequestInterface, QStringLiteral("Response"), this,
        SLOT(portalResponse(uint, QVariantMap)));
    m_handle.clear();
}

void ScreenPicker::portalResponse(uint response, const QVariantMap& results)
{
    if (!m_picking)
        return;
    stopListening();
    finish();
    // 1 is the user's cancel, which needs no word; 2 is any other end.
    if (response == 1)
        return;
    const QDBusArgument colour = results.value(QStringLiteral("color")).value<QDBusArgument>();
    if (response != 0 || colour.currentSignature() != QLatin1String("(ddd)")) {
        emit failed(tr("The desktop's colour picker gave no colour."));
        return;
    }
    double red = 0;
    double green = 0;
    double blue = 0;
    colour.beginStructure();
    colour >> red >> green >> blue;
    colour.endStructure();
    emit picked(QColor(code(red), code(green), code(blue)));
}

void ScreenPicker::pickByGrab()
{
    m_grabber = new GrabPicker(m_window);
    connect(m_grabber, &GrabPicker::picked, this, [this](const QColor& colour) {
        finish();
        emit picked(colour);
    });
    connect(m_grabber, &GrabPicker::cancelled, this, &ScreenPicker::finish);
    m_grabber->start();
}

void ScreenPicker::finish()
{
    m_picking = false;
    m_deadline.stop();
}
