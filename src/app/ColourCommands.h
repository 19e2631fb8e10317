#pragma once

#include "CommandContext.h"

#include <QObject>

class QPlainTextEdit;

// The colours from outside the bars and out to the clipboard: Default Colors, the colour dialog,
// Paste Color, Apply Tag, and the
// copies of the tag box.
class ColourCommands : public QObject {
    Q_OBJECT
public:
    ColourCommands(const CommandContext& context, QPlainTextEdit* tagBox);

    void defaultColours();
    void windowsColourDialog();
    void pasteColour();
    void applyTag();
    void copySelection();
    void copyTag();

private:
    CommandContext m_context;
    QPlainTextEdit* m_tagBox;
};
