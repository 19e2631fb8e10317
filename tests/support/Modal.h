#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

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
