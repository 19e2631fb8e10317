#pragma once

#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

struct xcb_connection_t;

// Reads the text on the clipboard or the primary selection without making the window wait for the
// program that owns it. On X11 the owner is asked once, on the program's own display connection, and
// its answer (in pieces, for a large text) is taken from the event stream as it comes; an owner that
// has not answered after TimeoutMs is given up on, and the window goes on painting and answering
// meanwhile. Elsewhere Qt's clipboard is read at once.
//
// A read given up on (replaced by a new one, or out of time) is not cut off: its owner may still be
// sending, and an owner whose window to write to is gone fails (xclip ends with BadWindow). So the
// window stays, each request names a property of its own, and what comes late for an old request is
// taken and thrown away, which also lets an owner sending in pieces finish.
class ClipboardReader : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 5000;

    struct Answer {
        QString text; // empty for no text or no answer
        bool tooLong = false; // more than the characters asked for; `text` is then empty
    };

    explicit ClipboardReader(QObject* parent = nullptr);
    ~ClipboardReader() override;

    // Whether read() waits for an answer from the event stream rather than reading at once.
    bool readsInBackground() const { return m_connection != nullptr; }

    // Asks for the text of `mode`, up to `maxLength` characters, and calls `done` with it. `done` may
    // be called before read() returns. A read still waiting for its answer is dropped, `done` and all.
    void read(QClipboard::Mode mode, qsizetype maxLength, std::function<void(const Answer&)> done);

    bool isReading() const { return bool(m_done); }

protected:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    // One request and its answer so far.
    struct Transfer {
        quint32 property = 0; // where the owner writes the answer
        bool wanted = false; // the request read() waits for; the others are given up on
        bool incremental = false; // the answer comes in pieces (INCR)
        QByteArray bytes; // the pieces so far
    };

    // Takes the property the owner wrote; false when the answer is complete (or refused).
    bool takePiece(Transfer& transfer);
    // Drops the transfer at `index`, whose answer is complete, and hands the answer on if it was wanted.
    void endTransfer(qsizetype index);
    // The property for a new request: one no answer is under way to, or the oldest given up on.
    quint32 freeProperty();
    void giveUp();
    void finish(const Answer& answer);

    xcb_connection_t* m_connection = nullptr;
    // The window every answer is written to, kept while this reader lives.
    quint32 m_window = 0;
    quint32 m_clipboardAtom = 0;
    quint32 m_utf8Atom = 0;
    quint32 m_incrAtom = 0;
    QList<quint32> m_properties; // made as needed: HUELOOM_CLIPBOARD, HUELOOM_CLIPBOARD_1, …
    QList<Transfer> m_transfers; // under way, oldest first
    qsizetype m_maxLength = 0;
    Answer m_answer;
    QTimer m_timeout;
    std::function<void(const Answer&)> m_done;
};
