#pragma once

#include "web/TextLimit.h"

#include <QClipboard>
#include <QPlainTextEdit>

class ClipboardReader;

// The tag box (`tagline`): a plain text box that takes pastes and drops only when they hold text, and
// only up to MaxLength characters in all, so that a clipboard with no owner or a whole book pasted by
// mistake leaves the box as it was. Lines break between words, as in any text box, until the box
// holds a line longer than LongLine: then lines break anywhere, because Qt lays out an unbroken line in
// time that grows with its square, and draws a line that runs past the edge whole at every repaint.
class TagBox : public QPlainTextEdit {
    Q_OBJECT
public:
    // The most characters the box holds after a paste or drop (4 Mi, a few large web pages): the
    // limit every reader of pages keeps (TextLimit).
    static constexpr qsizetype MaxLength = TextLimit::MaxCharacters;

    // The longest line the box still breaks between words only.
    static constexpr int LongLine = 10000;

    explicit TagBox(QWidget* parent = nullptr);

signals:
    // A paste or drop was refused because the box would then hold more than MaxLength characters;
    // the box is unchanged.
    void pasteRefused();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    // Under X11 the paste keys and the middle button read the clipboard or selection in the background.
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void pasteInBackground(QClipboard::Mode mode);
    void insertPasted(const QString& text);

    // Breaks lines anywhere, or between words only.
    void breakAnywhere(bool anywhere);

    ClipboardReader* m_reader;
};
