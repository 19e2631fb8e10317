#pragma once

#include <QLine>
#include <QList>
#include <QObject>

class QWidget;

// Lines drawn straight onto a widget, beneath its children, in the widget's text colour. They are
// decoration with no control of their own, so a screen reader has nothing to list for them.
class GuideLines : public QObject {
    Q_OBJECT
public:
    GuideLines(QWidget* canvas, const QList<QLine>& lines);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_canvas;
    QList<QLine> m_lines;
};
