#include "CheckCommands.h"

#include "BriefNote.h"
#include "SampleArea.h"
#include "assist/ContrastAudit.h"
#include "contrast/ContrastWindow.h"
#include "contrast/DarkSchemeWindow.h"
#include "contrast/FixContrastWindow.h"
#include "document/SchemeDocument.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace {

// What the CSS with Dark Mode just copied fails, in a sentence; empty when both halves meet the target.
QString darkModeWarning(const DarkSchemeWindow& window)
{
    const auto meets = [&window](const ColourScheme& scheme) {
        return ContrastAudit::allPass(ContrastAudit::audit(scheme, window.target(), window.linksUnderlined()));
    };
    const bool light = meets(window.currentScheme());
    const bool dark = meets(window.proposal().scheme);
    const QString target = ContrastAudit::nameOf(window.target());
    if (light && dark)
        return {};
    if (!light && !dark)
        return CheckCommands::tr("Neither the light nor the dark scheme meets %1.").arg(target);
    return (light ? CheckCommands::tr("The dark scheme does not meet %1.")
                  : CheckCommands::tr("The light scheme does not meet %1."))
        .arg(target);
}

} // namespace

CheckCommands::CheckCommands(const CommandContext& context)
    : QObject(context.window)
    , m_context(context)
{
}

void CheckCommands::showOn(SampleArea* sample, QLabel* sampleCaption)
{
    m_sample = sample;
    m_sampleCaption = sampleCaption;
}

void CheckCommands::createVisionMenu(QMenu* tools)
{
    QMenu* menu = tools->addMenu(tr("Simulate Color &Vision"));
    menu->setObjectName(QStringLiteral("VisionMenu"));
    menu->menuAction()->setObjectName(QStringLiteral("ItemVision"));
    auto* group = new QActionGroup(menu);
    group->setExclusive(true);
    const std::pair<ColourVision::Deficiency, QString> items[] = {
        {ColourVision::Deficiency::Normal, tr("&Normal Vision")},
        {ColourVision::Deficiency::Protanopia, tr("&Protanopia")},
        {ColourVision::Deficiency::Deuteranopia, tr("&Deuteranopia")},
        {ColourVision::Deficiency::Tritanopia, tr("&Tritanopia")},
        {ColourVision::Deficiency::Achromatopsia, tr("&Achromatopsia")},
    };
    for (const auto& [deficiency, text] : items) {
        QAction* item = menu->addAction(text);
        item->setObjectName(QStringLiteral("ItemVision%1").arg(ColourVision::displayName(deficiency).remove(' ')));
        item->setCheckable(true);
        item->setChecked(deficiency == ColourVision::Deficiency::Normal);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, deficiency = deficiency] { simulateVision(deficiency); });
    }
}

void CheckCommands::simulateVision(ColourVision::Deficiency deficiency)
{
    // Only the sample page changes; the caption says what it shows.
    const bool on = deficiency != ColourVision::Deficiency::Normal;
    m_sampleCaption->setText(on ? tr("Sample (%1)").arg(ColourVision::displayName(deficiency)) : tr("Sample"));
    m_sampleCaption->resize(on ? m_sampleCaption->sizeHint().width() : 49, m_sampleCaption->height());
    m_sample->setSimulation(deficiency);
    if (m_contrastWindow)
        m_contrastWindow->setSimulation(deficiency, m_context.document.scheme());
}

void CheckCommands::showContrastCheck()
{
    const SchemeDocument& document = m_context.document;
    if (!m_contrastWindow) {
        m_contrastWindow = new ContrastWindow(m_context.window);
        QWidget* window = m_context.window;
        connect(m_contrastWindow, &InfoWindow::dismissed, window, [window] {
            window->show();
            window->raise();
            window->activateWindow();
        });
        connect(&document, &SchemeDocument::schemeChanged, m_contrastWindow,
            [this, &document] { m_contrastWindow->showScheme(document.scheme()); });
        m_contrastWindow->setSimulation(m_sample->simulation(), document.scheme());
    }
    m_contrastWindow->show();
    m_contrastWindow->raise();
    m_contrastWindow->activateWindow();
}

void CheckCommands::fixContrast()
{
    SchemeDocument& document = m_context.document;
    auto* window = new FixContrastWindow(document.scheme(), m_context.window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &FixContrastWindow::applied, this, [this, window, &document](const ColourScheme& proposed) {
        SchemeState fixed = document.state();
        fixed.scheme = proposed;
        document.applyState(fixed, tr("Fix Contrast"));
        emit targetChosen(window->target());
    });
    // The proposal follows the scheme, should anything change it while the window is open.
    connect(&document, &SchemeDocument::schemeChanged, window,
        [window, &document] { window->setScheme(document.scheme()); });
    window->open();
}

void CheckCommands::makeDarkScheme()
{
    SchemeDocument& document = m_context.document;
    auto* window = new DarkSchemeWindow(document.scheme(), document.margins(), m_context.window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &DarkSchemeWindow::applied, this, [this, window, &document](const ColourScheme& dark) {
        SchemeState state = document.state();
        state.scheme = dark;
        document.applyState(state, tr("Make Dark Scheme"));
        emit targetChosen(window->target());
    });
    connect(&document, &SchemeDocument::schemeChanged, window,
        [window, &document] { window->setScheme(document.scheme()); });
    // After the window's own connection, which has put the CSS on the clipboard by now.
    if (auto* copy = window->findChild<QPushButton*>(QStringLiteral("copyCssButton"))) {
        connect(copy, &QPushButton::clicked, window, [window, copy] {
            const QString warning = darkModeWarning(*window);
            BriefNote::show(copy, warning.isEmpty() ? tr("Copied") : tr("Copied. %1").arg(warning),
                warning.isEmpty() ? BriefNote::Short : BriefNote::Long);
        });
    }
    window->open();
}

void CheckCommands::pageJudged(const QString& fileName, const PageJudgement& light, const PageJudgement& dark)
{
    m_judgedPage = JudgedPage{fileName, light, dark};
    if (m_pageCheckWindow)
        m_pageCheckWindow->showPage(m_judgedPage);
}

void CheckCommands::showPageCheck()
{
    if (!m_pageCheckWindow) {
        m_pageCheckWindow = new PageCheckWindow(m_context.window);
        QWidget* window = m_context.window;
        connect(m_pageCheckWindow, &InfoWindow::dismissed, window, [window] {
            window->show();
            window->raise();
            window->activateWindow();
        });
        connect(m_pageCheckWindow, &PageCheckWindow::openPageAsked, this, [this] {
            if (m_openPage)
                m_openPage->trigger();
        });
        m_pageCheckWindow->showPage(m_judgedPage);
    }
    m_pageCheckWindow->show();
    m_pageCheckWindow->raise();
    m_pageCheckWindow->activateWindow();
}
