#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>

class GrabPicker;
class QWidget;

// Picks the colour of one pixel anywhere on the screen. Where a desktop portal offers its colour picker
// (every Wayland desktop, many X11 ones) that picker is asked over D-Bus and answers in its own time,
// with the window's events running meanwhile; otherwise, on X11, the screen is grabbed and shown under
// a crosshair pointer, where a click picks and Escape cancels.
class ScreenPicker : public QObject {
    Q_OBJECT
public:
    // How long the portal may take before the pick is given up.
    static constexpr int DefaultTimeLimit = 60000;

    explicit ScreenPicker(QWidget* window);
    ~ScreenPicker() override;

    // Empty when picking can work; otherwise why it cannot, for the menu item's tooltip. It may change
    // once, when the session bus has said whether a portal is there (availabilityChanged()).
    QString unavailableReason() const;
    bool isPicking() const { return m_picking; }
    void setTimeLimit(int milliseconds) { m_timeLimit = milliseconds; }

    // Starts a pick; picked() or failed() follows, or nothing when the user cancels.
    void pick();

signals:
    void availabilityChanged();
    void picked(const QColor& colour);
    // A message for the user: the pick could not be made.
    void failed(const QString& message);

private slots:
    void portalResponse(uint response, const QVariantMap& results);

private:
    // Asks the session bus whether a portal is there, then calls `then` (if any).
    void lookForPortal(const std::function<void()>& then);
    void pickWithPortal();
    void pickByGrab();
    void listenOn(const QString& handle);
    void stopListening();
    void finish();

    QWidget* m_window;
    bool m_portal = false;
    bool m_looking = true; // whether the bus is still to answer, or still to be asked
    bool m_grab = false;
    bool m_picking = false;
    int m_timeLimit = DefaultTimeLimit;
    int m_requests = 0;
    QString m_handle;
    QTimer m_deadline;
    QPointer<GrabPicker> m_grabber;
};
