#include "MainActions.h"

#include <QAction>
#include <QUndoStack>
#include <QWidget>

namespace {

QAction* make(QWidget* window, const QString& name, const QString& text, const QKeySequence& shortcut = {})
{
    auto* action = new QAction(text, window);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    // The shortcuts act anywhere in the main window, the tag line included.
    action->setShortcutContext(Qt::WindowShortcut);
    return action;
}

} // namespace

MainActions::MainActions(QWidget* w, QUndoStack& undoStack)
    : open(make(w, QStringLiteral("ItemOpen"), QWidget::tr("&Open Scheme"), QKeySequence(Qt::CTRL | Qt::Key_O)))
    , openPage(make(w,
          QStringLiteral("ItemOpenPage"),
          QWidget::tr("Open Pa&ge…"),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)))
    , save(make(w, QStringLiteral("ItemSave"), QWidget::tr("&Save Scheme"), QKeySequence(Qt::CTRL | Qt::Key_S)))
    , print(make(w, QStringLiteral("ItemPrint"), QWidget::tr("&Print RGB Values"), QKeySequence(Qt::CTRL | Qt::Key_P)))
    , exit(make(w, QStringLiteral("ItemExit"), QWidget::tr("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X)))
    // Undo and redo name the step they take back ("&Undo Text Color") and are greyed with nothing to do.
    , undo(undoStack.createUndoAction(w, QWidget::tr("&Undo")))
    , redo(undoStack.createRedoAction(w, QWidget::tr("&Redo")))
    , copy(make(w, QStringLiteral("ItemCopy"), QWidget::tr("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C)))
    , copyTag(make(w, QStringLiteral("ItemCopyTag"), QWidget::tr("Copy &Tag"), QKeySequence(Qt::CTRL | Qt::Key_T)))
    , copyCss(make(
          w, QStringLiteral("ItemCopyCss"), QWidget::tr("CSS &Rules"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)))
    , copyHex(make(w, QStringLiteral("ItemCopyHex"), QWidget::tr("&Hex  #RRGGBB")))
    , copyRgb(make(w, QStringLiteral("ItemCopyRgb"), QWidget::tr("&RGB  rgb(r g b)")))
    , copyHsl(make(w, QStringLiteral("ItemCopyHsl"), QWidget::tr("H&SL  hsl(h s% l%)")))
    , copyOklch(make(w, QStringLiteral("ItemCopyOklch"), QWidget::tr("&OKLCH  oklch(L% C H)")))
    , copyProperties(make(w, QStringLiteral("ItemCopyProperties"), QWidget::tr("CSS &Custom Properties")))
    , copyTailwind(make(w, QStringLiteral("ItemCopyTailwind"), QWidget::tr("Tail&wind Theme")))
    , copyTokens(make(w, QStringLiteral("ItemCopyTokens"), QWidget::tr("Design &Tokens (JSON)")))
    , copyTokensHex(make(w, QStringLiteral("ItemCopyTokensHex"), QWidget::tr("Design Tokens (&hex strings)")))
    , pasteColour(make(w,
          QStringLiteral("ItemPasteColor"),
          QWidget::tr("&Paste Color"),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)))
    , applyTag(
          make(w, QStringLiteral("ItemApplyTag"), QWidget::tr("&Apply Tag"), QKeySequence(Qt::CTRL | Qt::Key_Return)))
    , changeTitle(make(w, QStringLiteral("ItemChange"), QWidget::tr("C&hange Title")))
    , defaultColours(make(w, QStringLiteral("ItemDefault"), QWidget::tr("&Default Colors")))
    , colour(make(
          w, QStringLiteral("ItemColor"), QWidget::tr("&Windows Color Dialog"), QKeySequence(Qt::CTRL | Qt::Key_W)))
    , pickScreen(make(w,
          QStringLiteral("ItemPickScreen"),
          QWidget::tr("Pick from &Screen"),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)))
    , contrast(
          make(w, QStringLiteral("ItemContrast"), QWidget::tr("&Contrast Check"), QKeySequence(Qt::CTRL | Qt::Key_K)))
    , fixContrast(make(w,
          QStringLiteral("ItemFixContrast"),
          QWidget::tr("&Fix Contrast"),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K)))
    , darkScheme(make(w, QStringLiteral("ItemDarkScheme"), QWidget::tr("Make &Dark Scheme")))
    , oklchBars(make(w,
          QStringLiteral("ItemOklchBars"),
          QWidget::tr("Bars in &OKLCH"),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L)))
    , pageCheck(make(w, QStringLiteral("ItemPageCheck"), QWidget::tr("&Page Check")))
    , help(make(w, QStringLiteral("ItemHelp"), QWidget::tr("&Help Screen"), QKeySequence(Qt::Key_F1)))
    , guide(make(w, QStringLiteral("ItemGuide"), QWidget::tr("User &Guide")))
    , trouble(make(w, QStringLiteral("ItemTrouble"), QWidget::tr("&Trouble Shooting")))
    , shortcuts(make(w, QStringLiteral("ItemShortcuts"), QWidget::tr("&Keyboard Shortcuts")))
    , about(make(w, QStringLiteral("ItemAbout"), QWidget::tr("&About")))
{
    undo->setObjectName(QStringLiteral("ItemUndo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    undo->setShortcutContext(Qt::WindowShortcut);
    redo->setObjectName(QStringLiteral("ItemRedo"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    redo->setShortcutContext(Qt::WindowShortcut);
    oklchBars->setCheckable(true);
}

QList<QAction*> MainActions::all() const
{
    return {open, save, openPage, print, exit, undo, redo, copy, copyTag, copyHex, copyRgb, copyHsl, copyOklch, copyCss,
        copyProperties, copyTailwind, copyTokens, copyTokensHex, pasteColour, applyTag, changeTitle, defaultColours,
        colour, pickScreen, contrast, pageCheck, fixContrast, darkScheme, oklchBars, help, guide, trouble, shortcuts,
        about};
}
