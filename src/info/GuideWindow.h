#pragma once

#include "InfoWindow.h"

class CodeBlocks;
class QTextBrowser;

// The User Guide: the program's usage guide, one Markdown text kept in the program's resources and
// read when the window is first made, in a window that can be resized and scrolled.
class GuideWindow : public InfoWindow {
    Q_OBJECT
public:
    explicit GuideWindow(QWidget* parent = nullptr);

    QTextBrowser* browser() const { return m_browser; }
    // Its code blocks, each scrolling sideways on its own.
    const CodeBlocks* codeBlocks() const { return m_codeBlocks; }
    // The size it opens at, whatever its text would ask for.
    QSize sizeHint() const override;

private:
    QTextBrowser* m_browser;
    CodeBlocks* m_codeBlocks = nullptr;
};
