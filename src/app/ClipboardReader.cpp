#include "ClipboardReader.h"

#include "PastedText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace {

template <typename Reply> using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const Owned<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

ClipboardReader::ClipboardReader(QObject* parent)
    : QObject(parent)
{
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(TimeoutMs);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        dropWindow();
        finish(std::nullopt);
    });
    // The offscreen platform may offer the X11 interface too, with no connection behind it.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && x11->connection() && QGuiApplication::platformName() == QLatin1String("xcb")) {
        m_connection = x11->connection();
        m_clipboardAtom = atom(m_connection, "CLIPBOARD");
        m_utf8Atom = atom(m_connection, "UTF8_STRING");
        m_propertyAtom = atom(m_connection, "HUELOOM_CLIPBOARD");
        qGuiApp->installNativeEventFilter(this);
    }
}

ClipboardReader::~ClipboardReader()
{
    dropWindow();
}

bool ClipboardReader::read(qsizetype maxLength, std::function<void(std::optional<QString>)> done)
{
    if (isReading())
        return false;
    if (!m_connection) {
        const QString text = PastedText::of(QGuiApplication::clipboard()->mimeData());
        done(text.size() <= maxLength ? std::optional(text) : std::nullopt);
        return true;
    }
    if (!m_window) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
            XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
    }
    m_maxLength = maxLength;
    m_done = std::move(done);
    // With no owner at all, the X server answers at once that there is nothing.
    xcb_convert_selection(m_connection, m_window, m_clipboardAtom, m_utf8Atom, m_propertyAtom, XCB_CURRENT_TIME);
    xcb_flush(m_connection);
    m_timeout.start();
    return true;
}

bool ClipboardReader::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (!m_done || !m_window || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_SELECTION_NOTIFY)
        return false;
    const auto* notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
    if (notify->requestor != m_window)
        return false;
    m_timeout.stop();
    std::optional<QString> text = notify->property == XCB_ATOM_NONE ? std::nullopt : takeAnswer();
    // Handed on from the event loop, not from inside the handling of an X event: `done` may open a
    // message box.
    QMetaObject::invokeMethod(
        this, [this, text = std::move(text)] { finish(text); }, Qt::QueuedConnection);
    return true;
}

std::optional<QString> ClipboardReader::takeAnswer() const
{
    // UTF-8 takes at most four bytes a character; one word more tells a longer text apart. The reply
    // comes from the X server, not from the owner, so it does not wait on another program.
    const auto words = static_cast<uint32_t>(m_maxLength) + 1;
    const Owned<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 1, m_window, m_propertyAtom, XCB_ATOM_ANY, 0, words), nullptr),
        &std::free);
    // An incremental transfer (type INCR) is only used for large texts.
    if (!reply || reply->type != m_utf8Atom || reply->format != 8 || reply->bytes_after > 0)
        return std::nullopt;
    const QString text = QString::fromUtf8(
        static_cast<const char*>(xcb_get_property_value(reply.get())), xcb_get_property_value_length(reply.get()));
    if (text.size() > m_maxLength)
        return std::nullopt;
    return text;
}

void ClipboardReader::finish(std::optional<QString> text)
{
    if (m_done)
        std::exchange(m_done, {})(std::move(text));
}

void ClipboardReader::dropWindow()
{
    if (m_connection && m_window && qGuiApp) {
        xcb_destroy_window(m_connection, m_window);
        xcb_flush(m_connection);
    }
    m_window = 0;
}
