#pragma once

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

// Tests reach into windows the program shows with their own event loop (exec()): a watch polls for
// the window and acts on it once it is up. After a few seconds it gives up and closes whatever is
// open, so a broken test fails instead of hanging; so does a check that fails inside `act`. Setting `*cancelled` stops
// a watch.
template <typename T>
void whenUp(std::function<T*()> find,
    std::function<void(T*)> act,
    std::shared_ptr<bool> cancelled = std::make_shared<bool>(false),
    int attemptsLeft = 300)
{
    QTimer::singleShot(10, [find = std::move(find), act = std::move(act), cancelled, attemptsLeft]() mutable {
        if (*cancelled)
            return;
        if (T* window = find()) {
            act(window);
            // A check that failed inside `act` returned before the window was closed: close it, so the
            // test fails at once instead of waiting in the window's event loop for the watchdog.
            if (QTest::currentTestFailed() && window->isVisible())
                window->close();
            return;
        }
        if (attemptsLeft <= 0) {
            qWarning("the expected window did not come up");
            if (QWidget* open = QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                                  : QApplication::activeModalWidget())
                open->close();
            return;
        }
        whenUp<T>(std::move(find), std::move(act), cancelled, attemptsLeft - 1);
    });
}

// The next modal window of type T, once it is active.
template <typename T> void whenModal(std::function<void(T*)> act)
{
    whenUp<T>(
        [] {
            auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
            return modal && modal->isActiveWindow() ? modal : nullptr;
        },
        std::move(act));
}

// The next pop-up menu, once it is open.
inline void whenPopup(std::function<void(QMenu*)> act, std::shared_ptr<bool> cancelled = std::make_shared<bool>(false))
{
    whenUp<QMenu>(
        [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            return menu && menu->isVisible() ? menu : nullptr;
        },
        std::move(act), std::move(cancelled));
}
