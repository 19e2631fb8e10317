#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>
#include <thread>

// Reads the text on the clipboard without making the window wait for the program that owns it.
// On X11 the owner is asked once, on a connection of its own in a worker thread, and given up on
// after Timeout; an owner that never answers costs the window nothing. Elsewhere Qt's clipboard is
// read at once (Wayland and the offscreen platform do not wait on other programs in the same way).
class ClipboardReader : public QObject {
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 5000;

    explicit ClipboardReader(QObject* parent = nullptr);
    ~ClipboardReader() override;

    // Asks for the clipboard text, if it has no more than `maxLength` characters, and calls `done` on
    // this object's thread with it; nothing for no text, a longer one, or no answer. `done` may be
    // called before read() returns. A read asked for while one is waiting is ignored; returns whether
    // this one was taken.
    bool read(qsizetype maxLength, std::function<void(std::optional<QString>)> done);

    bool isReading() const { return m_worker.joinable(); }

private:
    void finish(std::optional<QString> text);

    std::thread m_worker;
    std::atomic<bool> m_cancelled = false;
    std::function<void(std::optional<QString>)> m_done;
};
