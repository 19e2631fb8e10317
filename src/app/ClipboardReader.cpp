#include "ClipboardReader.h"

#include "PastedText.h"

#include <QClipboard>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <poll.h>
#include <xcb/xcb.h>

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The CLIPBOARD selection as UTF-8 text of at most `maxLength` characters, asked for once on its own
// connection to `display`; nothing when there is none, it is longer, or no answer comes in time.
std::optional<QString> readSelection(const QByteArray& display, qsizetype maxLength, const std::atomic<bool>& cancelled)
{
    xcb_connection_t* connection = xcb_connect(display.isEmpty() ? nullptr : display.constData(), nullptr);
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> closer(connection, &xcb_disconnect);
    if (xcb_connection_has_error(connection))
        return std::nullopt;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
        XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
    const xcb_atom_t clipboard = atom(connection, "CLIPBOARD");
    const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
    const xcb_atom_t property = atom(connection, "HUELOOM_CLIPBOARD");
    xcb_convert_selection(connection, window, clipboard, utf8, property, XCB_CURRENT_TIME);
    xcb_flush(connection);

    // Waits in short slices, so that a window closing meanwhile is not kept waiting.
    const QDeadlineTimer deadline(ClipboardReader::TimeoutMs);
    pollfd watched{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (!cancelled && !deadline.hasExpired()) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
            if ((event->response_type & 0x7f) != XCB_SELECTION_NOTIFY)
                continue;
            const auto* notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
            if (notify->requestor != window || notify->property == XCB_ATOM_NONE)
                return std::nullopt;
            // UTF-8 takes at most four bytes a character; one more word tells a longer text apart.
            const uint32_t words = static_cast<uint32_t>(maxLength) + 1;
            const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
                xcb_get_property_reply(
                    connection, xcb_get_property(connection, 1, window, property, XCB_ATOM_ANY, 0, words), nullptr),
                &std::free);
            // An incremental transfer (type INCR) is only used for large texts.
            if (!reply || reply->type != utf8 || reply->format != 8 || reply->bytes_after > 0)
                return std::nullopt;
            const QString text = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply.get())),
                xcb_get_property_value_length(reply.get()));
            if (text.size() > maxLength)
                return std::nullopt;
            return text;
        }
        if (xcb_connection_has_error(connection))
            return std::nullopt;
        poll(&watched, 1, 50);
    }
    return std::nullopt;
}

} // namespace

ClipboardReader::ClipboardReader(QObject* parent)
    : QObject(parent)
{
}

ClipboardReader::~ClipboardReader()
{
    m_cancelled = true;
    if (m_worker.joinable())
        m_worker.join();
}

bool ClipboardReader::read(qsizetype maxLength, std::function<void(std::optional<QString>)> done)
{
    if (isReading())
        return false;
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        const QString text = PastedText::of(QGuiApplication::clipboard()->mimeData());
        done(text.size() <= maxLength ? std::optional(text) : std::nullopt);
        return true;
    }
    m_done = std::move(done);
    m_cancelled = false;
    const QByteArray display = qgetenv("DISPLAY");
    m_worker = std::thread([this, display, maxLength] {
        std::optional<QString> text = readSelection(display, maxLength, m_cancelled);
        QMetaObject::invokeMethod(
            this, [this, text = std::move(text)] { finish(text); }, Qt::QueuedConnection);
    });
    return true;
}

void ClipboardReader::finish(std::optional<QString> text)
{
    m_worker.join();
    std::exchange(m_done, {})(std::move(text));
}
