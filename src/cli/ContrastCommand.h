#pragma once

#include "assist/ContrastFixer.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

// `hueloom --check` and `hueloom --fix`: contrast from the command line, with no display.
//
// A scheme is named by an .hlm file; an HTML or CSS file, read as a browser shows it (the style sheets
// it links from this computer included) in the light or the dark colour scheme; or five colours written
// "#CECEFF,#0055AA,#007C00,#003C00,#00B500" (background, text, link, visited link, active link).
namespace ContrastCommand {

// Exit statuses.
inline constexpr int AllPass = 0;
inline constexpr int SomeFail = 1;
inline constexpr int BadInput = 2;

struct Options {
    ContrastFixer::Target target = ContrastFixer::Target::AA;
    bool linksUnderlined = false;
    bool json = false;
    bool sarif = false; // --check prints a SARIF 2.1.0 log instead
    bool strict = false; // --check fails a text for review as well as a failing one
    // --allow-missing: a page whose linked or imported style sheets could not all be read is judged on
    // those that could, rather than not at all.
    bool allowMissing = false;
    bool dark = false; // --fix gives the dark companion
    // --color-scheme: which scheme a page or style sheet is read in. Without it --check reports the
    // light scheme, and the dark one as well when any colour differs there; --fix reads the light one.
    std::optional<bool> darkScheme;
    QList<QByteArray> schemes;
};

struct Result {
    int status = AllPass;
    QString output; // for standard output
    QString notes; // for standard error, one line each, "hueloom: " first
    // What the last file's readings parsed: freeing it takes a good part of the reading's own time, so
    // a caller that exits straight after may keep it rather than destroy it.
    std::shared_ptr<const void> retained;
};

// The target an option names: aa, aaa, apca60, apca75 or apca90; false for anything else.
bool targetNamed(const QString& name, ContrastFixer::Target* target);

// Each pair of each scheme: its WCAG 2 ratio, APCA Lc and whether it meets the target. Links that are
// not underlined must also stand 3:1 from the text. A page or style sheet has every text it shows
// judged as well, against what is painted behind it, and those verdicts decide its status; five
// colours and a scheme file are decided by their pairs.
Result check(const Options& options);
// The proposal for one scheme (or its dark companion): its five colours on the first line.
Result fix(const Options& options);

} // namespace ContrastCommand
