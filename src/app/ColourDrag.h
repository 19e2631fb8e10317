#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class QColor;
class QMimeData;
class SchemeDocument;

// Colours dragged out of and into the window: each option button and each part of the sample page
// stands for its slot. A drag carries the slot's colour as text (#RRGGBB) and as application/x-color;
// dropping either on one of them, or any colour text Paste Color takes, gives that slot the colour as
// one undo step. Files are left to the window, which opens a dropped scheme.
class ColourDrag : public QObject {
    Q_OBJECT
public:
    // Drags of anything but a colour go to `otherDrops`, which opens a dropped scheme file.
    ColourDrag(SchemeDocument& document, QWidget* window, std::function<bool(QEvent*)> otherDrops);

    // What a drag of `colour` carries.
    static QMimeData* mimeData(const QColor& colour);
    // The colour a drop carries, if it is a colour and not files.
    static std::optional<QColor> colourOf(const QMimeData* data);

signals:
    // A drag is about to leave with `data`.
    void dragStarting(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SchemeDocument& m_document;
    std::function<bool(QEvent*)> m_otherDrops;
    // Where the left button went down, and on which part, until it comes up or a drag begins.
    QPoint m_pressedAt;
    QPointer<QWidget> m_source;
};
