#pragma once

#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

// Runs `act` on the next modal window of type T once it is up and active, for tests that must reach
// into a dialog the program shows with exec(). Gives up after a few seconds and closes whatever modal
// window is open, so a broken test fails instead of hanging.
template <typename T> void whenModal(std::function<void(T*)> act, int attemptsLeft = 300)
{
    QTimer::singleShot(10, [act = std::move(act), attemptsLeft]() mutable {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (modal && modal->isActiveWindow()) {
            act(modal);
            return;
        }
        if (attemptsLeft <= 0) {
            qWarning("the expected modal window did not become active");
            if (QWidget* other = QApplication::activeModalWidget())
                other->close();
            return;
        }
        whenModal<T>(std::move(act), attemptsLeft - 1);
    });
}

// Runs `act` on the next pop-up menu once it is open (a menu runs its own event loop in exec()).
// Setting `*cancelled` stops the watch, for a test that expects no menu at all.
inline void whenPopup(std::function<void(QMenu*)> act,
    std::shared_ptr<bool> cancelled = std::make_shared<bool>(false),
    int attemptsLeft = 300)
{
    QTimer::singleShot(10, [act = std::move(act), cancelled, attemptsLeft]() mutable {
        if (*cancelled)
            return;
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()); menu && menu->isVisible()) {
            act(menu);
            return;
        }
        if (attemptsLeft <= 0) {
            qWarning("no pop-up menu opened");
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
            return;
        }
        whenPopup(std::move(act), cancelled, attemptsLeft - 1);
    });
}
