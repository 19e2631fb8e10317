#pragma once

#include <QPlainTextEdit>

// The tag box (`tagline`): a plain text box that takes pastes and drops only when they hold text, and
// only up to MaxLength characters in all, so that a clipboard with no owner or a whole book pasted by
// mistake leaves the box as it was. Long lines break anywhere when no word boundary fits.
class TagBox : public QPlainTextEdit {
    Q_OBJECT
public:
    // The most characters the box holds after a paste or drop (4 Mi, a few large web pages).
    static constexpr qsizetype MaxLength = qsizetype(4) << 20;

    explicit TagBox(QWidget* parent = nullptr);

signals:
    // A paste or drop was refused because the box would then hold more than MaxLength characters;
    // the box is unchanged.
    void pasteRefused();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};
