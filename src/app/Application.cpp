#include "Application.h"

#include "ui/Fonts.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>

namespace {

// Fusion everywhere (unless -style asks for another), so the fixed pixel layout looks the same on
// every desktop; a click in a scroll bar's trough always moves it by its large step, never jumps to
// the pointer.
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
};

} // namespace

void configureApplication(QApplication& app, const QString& styleName)
{
    QApplication::setApplicationName(QStringLiteral("Hueloom"));
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationVersion(QStringLiteral(HUELOOM_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.hueloom.Hueloom"));
    Fonts::installSubstitutions();
    QStyle* base = styleName.isEmpty() ? nullptr : QStyleFactory::create(styleName);
    QApplication::setStyle(new HueloomStyle(base ? base : QStyleFactory::create(QStringLiteral("Fusion"))));
    app.setFont(Fonts::sansSerif(8.25));
}
