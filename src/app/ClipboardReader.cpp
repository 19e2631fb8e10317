#include "ClipboardReader.h"

#include "PastedText.h"

#include <QGuiApplication>
#include <algorithm>
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
        giveUp();
        finish({});
    });
    // The offscreen platform may offer the X11 interface too, with no connection behind it.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && x11->connection() && QGuiApplication::platformName() == QLatin1String("xcb")) {
        // The atoms are asked for at the first read: each is a round trip to the server, which the
        // window's start need not wait for.
        m_connection = x11->connection();
        qGuiApp->installNativeEventFilter(this);
    }
}

ClipboardReader::~ClipboardReader()
{
    if (m_connection && m_window && qGuiApp) {
        xcb_destroy_window(m_connection, m_window);
        xcb_flush(m_connection);
    }
}

void ClipboardReader::read(QClipboard::Mode mode, qsizetype maxLength, std::function<void(const Answer&)> done)
{
    // A read still waiting is replaced; its answer, if it ever comes, is taken and thrown away.
    if (isReading()) {
        m_timeout.stop();
        giveUp();
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
        m_clipboardAtom = atom(m_connection, "CLIPBOARD");
        m_utf8Atom = atom(m_connection, "UTF8_STRING");
        m_incrAtom = atom(m_connection, "INCR");
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
            XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, XCB_CW_EVENT_MASK, &events);
    } else {
        // Qt, sending the program's own large clipboard to this window, clears its events when done.
        xcb_change_window_attributes(m_connection, m_window, XCB_CW_EVENT_MASK, &events);
    }
    Transfer transfer;
    transfer.property = freeProperty();
    transfer.wanted = true;
    // Nothing left over from an earlier answer may pass for this one.
    xcb_delete_property(m_connection, m_window, transfer.property);
    m_transfers.append(transfer);
    m_maxLength = maxLength;
    m_answer = {};
    m_done = std::move(done);
    // With no owner at all, the X server answers at once that there is nothing.
    const xcb_atom_t selection = mode == QClipboard::Selection ? xcb_atom_t(XCB_ATOM_PRIMARY) : m_clipboardAtom;
    xcb_convert_selection(m_connection, m_window, selection, m_utf8Atom, transfer.property, XCB_CURRENT_TIME);
    xcb_flush(m_connection);
    m_timeout.start();
}

quint32 ClipboardReader::freeProperty()
{
    for (const quint32 property : std::as_const(m_properties)) {
        const bool used = std::any_of(m_transfers.cbegin(), m_transfers.cend(),
            [property](const Transfer& transfer) { return transfer.property == property; });
        if (!used)
            return property;
    }
    // A few owners that never finish are waited for; past that the oldest is forgotten.
    constexpr qsizetype MostWaitedFor = 8;
    if (m_properties.size() < MostWaitedFor) {
        const QByteArray name = m_properties.isEmpty() ? QByteArray("HUELOOM_CLIPBOARD")
                                                       : "HUELOOM_CLIPBOARD_" + QByteArray::number(m_properties.size());
        m_properties.append(atom(m_connection, name.constData()));
        return m_properties.last();
    }
    return m_transfers.takeFirst().property;
}

void ClipboardReader::giveUp()
{
    for (Transfer& transfer : m_transfers)
        transfer.wanted = false;
}

bool ClipboardReader::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (!m_window || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    qsizetype index = -1;
    switch (event->response_type & 0x7f) {
    case XCB_SELECTION_NOTIFY: {
        const auto* notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
        if (notify->requestor != m_window)
            return false;
        for (qsizetype i = 0; i < m_transfers.size() && index < 0; ++i) {
            const Transfer& transfer = m_transfers.at(i);
            // A refusal names no property: it is taken as the answer to the request waited for.
            if (!transfer.incremental
                && (notify->property == XCB_ATOM_NONE ? transfer.wanted : notify->property == transfer.property))
                index = i;
        }
        if (index < 0)
            return true;
        if (notify->property != XCB_ATOM_NONE && takePiece(m_transfers[index]))
            break;
        endTransfer(index);
        return true;
    }
    case XCB_PROPERTY_NOTIFY: {
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (notify->window != m_window || notify->state != XCB_PROPERTY_NEW_VALUE)
            return false;
        for (qsizetype i = 0; i < m_transfers.size() && index < 0; ++i) {
            if (m_transfers.at(i).incremental && notify->atom == m_transfers.at(i).property)
                index = i;
        }
        if (index < 0)
            return false;
        if (takePiece(m_transfers[index]))
            break;
        endTransfer(index);
        return true;
    }
    default:
        return false;
    }
    // Each piece that comes gives the owner the full time again.
    if (m_transfers.at(index).wanted)
        m_timeout.start();
    return true;
}

void ClipboardReader::endTransfer(qsizetype index)
{
    const Transfer done = m_transfers.takeAt(index);
    if (!done.wanted)
        return;
    m_timeout.stop();
    // Handed on from the event loop, not from inside the handling of an X event: `done` may open a
    // message box.
    QMetaObject::invokeMethod(
        this, [this, answer = m_answer] { finish(answer); }, Qt::QueuedConnection);
}

bool ClipboardReader::takePiece(Transfer& transfer)
{
    // UTF-8 takes at most four bytes a character; one word more tells a longer text apart. The reply
    // comes from the X server, not from the owner, so it does not wait on another program. An answer
    // given up on is read whole, which deletes it, so that its owner goes on to the end.
    const qsizetype limit = 4 * m_maxLength;
    const auto words = transfer.wanted ? static_cast<uint32_t>(m_maxLength + 1) : UINT32_MAX / 4;
    const Owned<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(m_connection,
            xcb_get_property(m_connection, 1, m_window, transfer.property, XCB_ATOM_ANY, 0, words), nullptr),
        &std::free);
    if (!reply)
        return false;
    if (!transfer.incremental && reply->type == m_incrAtom) {
        // Deleting the property (done by reading it) asks the owner for the first piece.
        transfer.incremental = true;
        xcb_flush(m_connection);
        return true;
    }
    const int length = xcb_get_property_value_length(reply.get());
    if (!transfer.wanted) {
        xcb_flush(m_connection);
        return transfer.incremental && length > 0;
    }
    if (reply->type != m_utf8Atom || reply->format != 8)
        return false;
    transfer.bytes.append(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
    if (reply->bytes_after > 0 || transfer.bytes.size() > limit) {
        m_answer.tooLong = true;
        return false;
    }
    // A piece of nothing ends a large answer; a small one comes whole.
    if (transfer.incremental && length > 0) {
        xcb_flush(m_connection);
        return true;
    }
    const QString text = QString::fromUtf8(transfer.bytes);
    transfer.bytes.clear();
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
