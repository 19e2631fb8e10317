#pragma once

#include <QAbstractNativeEventFilter>
#include <QClipboard>
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
    // Takes the property the owner wrote; false when the answer is complete (or refused).
    bool takePiece();
    void finish(const Answer& answer);
    void dropWindow();

    xcb_connection_t* m_connection = nullptr;
    // The window the answer is written to; a new one after a time-out, so a late answer goes nowhere.
    quint32 m_window = 0;
    quint32 m_clipboardAtom = 0;
    quint32 m_utf8Atom = 0;
    quint32 m_incrAtom = 0;
    quint32 m_propertyAtom = 0;
    qsizetype m_maxLength = 0;
    // An answer coming in pieces (INCR): the bytes so far.
    bool m_incremental = false;
    QByteArray m_bytes;
    Answer m_answer;
    QTimer m_timeout;
    std::function<void(const Answer&)> m_done;
};
