#pragma once

#include "CommandContext.h"
#include "web/TagReader.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <stop_token>

class ClipboardReader;
class QThread;
class TagBox;

// The colours from outside the bars and out to the clipboard: Default Colors, the colour dialog,
// Paste Color, Apply Tag, and the
// copies of the tag box.
class ColourCommands : public QObject {
    Q_OBJECT
public:
    // Clipboard text longer than this is no colour (the longest colour text, spaces and all, is far
    // shorter) and is refused without being read.
    static constexpr qsizetype MaxColourText = 256;
    // Apply Tag reads a tag box of up to this many characters at once; a longer text is read on a
    // worker thread while the window keeps answering.
    static constexpr qsizetype ReadAtOnce = 64 * 1024;

    ColourCommands(const CommandContext& context, TagBox* tagBox);
    ~ColourCommands() override;

    void defaultColours();
    void windowsColourDialog();
    void pasteColour();
    void applyTag();
    // Apply Tag on a page or style sheet file (one dropped on the window).
    void applyFile(const QString& path);
    void copySelection();
    void copyTag();

    // Whether an Apply Tag is still being read on the worker thread.
    bool isReadingTag() const { return m_reader != nullptr; }

signals:
    // A page or a style sheet read by Apply Tag (a file's `fileName`, empty for the tag box) with every
    // text of it judged in the light and in the dark colour scheme.
    void pageJudged(const QString& fileName, const PageJudgement& light, const PageJudgement& dark);

private:
    // A text to read for Apply Tag, and how.
    struct Request {
        QString text;
        TagReader::Options options;
    };
    void read(const Request& request);
    void startReading(const Request& request);
    void readingDone();
    // What reading a request gave, and when it gave nothing, what the text holds instead.
    struct Outcome {
        TagReader::Reading reading;
        QString nothingUsable;
        // The page's texts judged in the dark colour scheme, when the reading judged them in the light.
        std::optional<PageJudgement> darkJudgement;
    };
    // Touches nothing of the window: it runs on the worker too.
    static Outcome readRequest(const Request& request);
    void applyReading(const Request& request, const Outcome& outcome);
    void refusePaste();
    void refuseTooLong(const QString& outcome);
    void pasteColourText(const std::optional<QString>& text);

    CommandContext m_context;
    TagBox* m_tagBox;
    ClipboardReader* m_clipboard;
    // The worker reading a long tag box, at most one at a time, and what it found once it is done.
    // It stops at its next safe point when asked through m_readerStop: when a later Apply Tag makes
    // its result void, and when the window goes (a quit must not wait for a page to be read).
    std::unique_ptr<QThread> m_reader;
    std::stop_source m_readerStop;
    Request m_readerRequest;
    Outcome m_readerResult;
    // Whether the running read is still the latest Apply Tag; a later one makes its result void.
    bool m_readerWanted = false;
    // A long text given to Apply Tag while the worker was busy, read when it is done.
    std::optional<Request> m_nextRequest;
};
