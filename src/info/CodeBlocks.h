#pragma once

#include <QObject>
#include <QTextBlock>

class QPlainTextEdit;
class QTextBrowser;

// The code blocks of a text browser, each shown in a box of its own that scrolls sideways on its own,
// so that the running text wraps to the window and a long command line is neither cut nor pulls the
// whole text sideways. The document keeps the code too, for finding, selecting and reading aloud; each
// box lies over its block, which is given room below for the box's scroll bar.
class CodeBlocks : public QObject {
    Q_OBJECT
public:
    // Finds the code blocks of `browser`'s document as it is now; call again after a new text.
    explicit CodeBlocks(QTextBrowser* browser);

    // Whether `block` is a line of a code block.
    static bool isCode(const QTextBlock& block);
    // The boxes, in document order.
    QList<QPlainTextEdit*> boxes() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Code {
        QTextBlock first;
        QTextBlock last;
        QPlainTextEdit* box;
    };

    void find();
    void place();

    QTextBrowser* m_browser;
    QObject* m_viewport; // the browser's, watched for its size; compared only, as it may be going
    QList<Code> m_codes;
};
