#include "Application.h"

#include "ui/Fonts.h"
#include "ui/Look.h"

#include <QApplication>
#include <QProxyStyle>
#include <QSocketNotifier>
#include <QStyleFactory>
#include <QStyleOption>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Fusion everywhere (unless -style asks for another), so the fixed pixel layout looks the same on
// every desktop; a click in a scroll bar's trough always moves it by its large step, never jumps to
// the pointer; a scroll bar with the keyboard focus says so with a focus frame, as every other
// control does.
class HueloomStyle : public QProxyStyle {
public:
    explicit HueloomStyle(QStyle* base)
        : QProxyStyle(base)
    {
    }

    int styleHint(
        StyleHint hint, const QStyleOption* option, const QWidget* widget, QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ScrollBar_LeftClickAbsolutePosition)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    // A scroll bar too short for its arrows and a slider to drag between them (the tag box's, two lines
    // high) gives the arrows' room to the slider: it scrolls by dragging, the wheel and the keys.
    QRect subControlRect(ComplexControl control,
        const QStyleOptionComplex* option,
        SubControl part,
        const QWidget* widget) const override
    {
        const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (control != CC_ScrollBar || !bar || !isShort(*bar, widget))
            return QProxyStyle::subControlRect(control, option, part, widget);
        const bool vertical = bar->orientation == Qt::Vertical;
        const QRect all = bar->rect;
        const int length = vertical ? all.height() : all.width();
        const int range = bar->maximum - bar->minimum;
        int slider = length;
        if (range > 0) {
            const int proportional = static_cast<int>(
                static_cast<qint64>(length) * bar->pageStep / (static_cast<qint64>(range) + bar->pageStep));
            slider = std::clamp(proportional, std::min(length / 2, sliderMin(widget)), length);
        }
        const int start = sliderPositionFromValue(
            bar->minimum, bar->maximum, bar->sliderPosition, length - slider, bar->upsideDown);
        const auto span = [&](int from, int size) {
            return vertical ? QRect(all.left(), all.top() + from, all.width(), size)
                            : QRect(all.left() + from, all.top(), size, all.height());
        };
        switch (part) {
        case SC_ScrollBarAddLine:
        case SC_ScrollBarSubLine:
            return {};
        case SC_ScrollBarGroove:
            return all;
        case SC_ScrollBarSlider:
            return span(start, slider);
        case SC_ScrollBarSubPage:
            return span(0, start);
        case SC_ScrollBarAddPage:
            return span(start + slider, length - start - slider);
        default:
            return QProxyStyle::subControlRect(control, option, part, widget);
        }
    }

    void drawComplexControl(ComplexControl control,
        const QStyleOptionComplex* option,
        QPainter* painter,
        const QWidget* widget) const override
    {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        if (control != CC_ScrollBar || !option->state.testFlag(State_HasFocus))
            return;
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(*option);
        // Shown from the start, not only once the keyboard has moved the focus: the bar's arrow keys
        // work at once, so the user must see which bar they move.
        focus.state |= State_KeyboardFocusChange;
        focus.rect = option->rect.adjusted(1, 1, -1, -1);
        focus.backgroundColor = option->palette.color(QPalette::Window);
        proxy()->drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
    }

private:
    int sliderMin(const QWidget* widget) const { return pixelMetric(PM_ScrollBarSliderMin, nullptr, widget); }

    bool isShort(const QStyleOptionSlider& bar, const QWidget* widget) const
    {
        const int length = bar.orientation == Qt::Vertical ? bar.rect.height() : bar.rect.width();
        const int arrows = 2 * pixelMetric(PM_ScrollBarExtent, &bar, widget);
        return length < arrows + 2 * sliderMin(widget);
    }
};

// A signal handler may do next to nothing: it writes a byte that the event loop reads.
int signalPipe[2] = {-1, -1};

void onTerminationSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

void quitOnTerminationSignals(QApplication& app)
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char byte = 0;
        while (::read(signalPipe[0], &byte, 1) > 0) { }
        // A signal is no one at the keyboard: nothing is asked (quit() would close the windows first,
        // and the main window asks about a changed scheme), the windows go with the program.
        QCoreApplication::exit(0);
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        // A signal the starter chose to ignore (nohup, a background shell) stays ignored.
        struct sigaction previous = {};
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        sigaction(signal, &action, nullptr);
    }
}

void configureApplication(QApplication& app, const QString& styleName)
{
    QApplication::setApplicationName(QStringLiteral("Hueloom"));
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationVersion(QStringLiteral(HUELOOM_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.hueloom.Hueloom"));
    Fonts::installSubstitutions();
    QStyle* base = styleName.isEmpty() ? nullptr : QStyleFactory::create(styleName);
    QApplication::setStyle(new HueloomStyle(base ? base : QStyleFactory::create(QStringLiteral("Fusion"))));
    // Each window sets the look on itself too; this gives it to what the program does not make
    // itself (message boxes, Qt's own print dialog, tool tips), whole, so no half of a dark desktop
    // palette mixes into it.
    QApplication::setPalette(Look::palette());
    app.setFont(Fonts::sansSerif(8.25));
}
