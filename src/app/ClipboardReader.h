#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

struct xcb_connection_t;

// Reads the text on the clipboard without making the window wait for the program that owns it.
// On X11 the owner is asked once, on the program's own display connection, and its answer is taken
// from the event stream as it comes; one that has not answered after TimeoutMs is given up on, and
// the window goes on painting and answering meanwhile. Elsewhere Qt's clipboard is read at once.
class ClipboardReader : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 5000;

    explicit ClipboardReader(QObject* parent = nullptr);
    ~ClipboardReader() override;

    // Asks for the clipboard text, if it has no more than `maxLength` characters, and calls `done`
    // with it; nothing for no text, a longer one, or no answer. `done` may be called before read()
    // returns. A read asked for while one is waiting is ignored; returns whether this one was taken.
    bool read(qsizetype maxLength, std::function<void(std::optional<QString>)> done);

    bool isReading() const { return bool(m_done); }

protected:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void finish(std::optional<QString> text);
    std::optional<QString> takeAnswer() const;
    void dropWindow();

    xcb_connection_t* m_connection = nullptr;
    // The window the answer is written to; a new one after a time-out, so a late answer goes nowhere.
    quint32 m_window = 0;
    quint32 m_clipboardAtom = 0;
    quint32 m_utf8Atom = 0;
    quint32 m_propertyAtom = 0;
    qsizetype m_maxLength = 0;
    QTimer m_timeout;
    std::function<void(std::optional<QString>)> m_done;
};
