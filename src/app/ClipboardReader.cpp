#include "ClipboardReader.h"

#include "PastedText.h"

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
        finish({});
    });
    // The offscreen platform may offer the X11 interface too, with no connection behind it.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && x11->connection() && QGuiApplication::platformName() == QLatin1String("xcb")) {
        m_connection = x11->connection();
        m_clipboardAtom = atom(m_connection, "CLIPBOARD");
        m_utf8Atom = atom(m_connection, "UTF8_STRING");
        m_incrAtom = atom(m_connection, "INCR");
        m_propertyAtom = atom(m_connection, "HUELOOM_CLIPBOARD");
        qGuiApp->installNativeEventFilter(this);
    }
}

ClipboardReader::~ClipboardReader()
{
    dropWindow();
}

void ClipboardReader::read(QClipboard::Mode mode, qsizetype maxLength, std::function<void(const Answer&)> done)
{
    // A read still waiting is replaced: its answer, if it ever comes, goes to a window that is gone.
    if (isReading()) {
        m_timeout.stop();
        dropWindow();
        m_done = {};
    }
    // The program's own clipboard is at hand, with no owner to wait for.
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const bool own = mode == QClipboard::Selection ? clipboard->ownsSelection() : clipboard->ownsClipboard();
    if (!m_connection || own) {
        const QString text = PastedText::of(clipboard->mimeData(mode));
        done(text.size() <= maxLength ? Answer{text} : Answer{{}, true});
        return;
    }
    // Property changes tell when the next piece of a large answer has been written.
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    if (!m_window) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
            XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, XCB_CW_EVENT_MASK, &events);
    } else {
        // Qt, sending the program's own large clipboard to this window, clears its events when done.
        xcb_change_window_attributes(m_connection, m_window, XCB_CW_EVENT_MASK, &events);
    }
    m_maxLength = maxLength;
    m_incremental = false;
    m_bytes.clear();
    m_answer = {};
    m_done = std::move(done);
    // With no owner at all, the X server answers at once that there is nothing.
    const xcb_atom_t selection = mode == QClipboard::Selection ? xcb_atom_t(XCB_ATOM_PRIMARY) : m_clipboardAtom;
    xcb_convert_selection(m_connection, m_window, selection, m_utf8Atom, m_propertyAtom, XCB_CURRENT_TIME);
    xcb_flush(m_connection);
    m_timeout.start();
}

bool ClipboardReader::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (!m_done || !m_window || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    bool more = false;
    switch (event->response_type & 0x7f) {
    case XCB_SELECTION_NOTIFY: {
        const auto* notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
        if (notify->requestor != m_window || m_incremental)
            return false;
        more = notify->property != XCB_ATOM_NONE && takePiece();
        break;
    }
    case XCB_PROPERTY_NOTIFY: {
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (notify->window != m_window || !m_incremental || notify->atom != m_propertyAtom
            || notify->state != XCB_PROPERTY_NEW_VALUE)
            return false;
        more = takePiece();
        break;
    }
    default:
        return false;
    }
    if (more) {
        // Each piece that comes gives the owner the full time again.
        m_timeout.start();
        return true;
    }
    m_timeout.stop();
    // Handed on from the event loop, not from inside the handling of an X event: `done` may open a
    // message box.
    QMetaObject::invokeMethod(
        this, [this, answer = m_answer] { finish(answer); }, Qt::QueuedConnection);
    return true;
}

bool ClipboardReader::takePiece()
{
    // UTF-8 takes at most four bytes a character; one word more tells a longer text apart. The reply
    // comes from the X server, not from the owner, so it does not wait on another program.
    const qsizetype limit = 4 * m_maxLength;
    const auto words = static_cast<uint32_t>(m_maxLength + 1);
    const Owned<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 1, m_window, m_propertyAtom, XCB_ATOM_ANY, 0, words), nullptr),
        &std::free);
    if (!reply)
        return false;
    if (!m_incremental && reply->type == m_incrAtom) {
        // Deleting the property (done by reading it) asks the owner for the first piece.
        m_incremental = true;
        xcb_flush(m_connection);
        return true;
    }
    const int length = xcb_get_property_value_length(reply.get());
    if (reply->type != m_utf8Atom || reply->format != 8)
        return false;
    m_bytes.append(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
    if (reply->bytes_after > 0 || m_bytes.size() > limit) {
        m_answer.tooLong = true;
        return false;
    }
    // A piece of nothing ends a large answer; a small one comes whole.
    if (m_incremental && length > 0) {
        xcb_flush(m_connection);
        return true;
    }
    const QString text = QString::fromUtf8(m_bytes);
    m_bytes.clear();
    if (text.size() > m_maxLength)
        m_answer.tooLong = true;
    else
        m_answer.text = text;
    return false;
}

void ClipboardReader::finish(const Answer& answer)
{
    if (m_done)
        std::exchange(m_done, {})(answer);
}

void ClipboardReader::dropWindow()
{
    if (m_connection && m_window && qGuiApp) {
        xcb_destroy_window(m_connection, m_window);
        xcb_flush(m_connection);
    }
    m_window = 0;
}
