#pragma once

#include "CommandContext.h"
#include "assist/ColourVision.h"
#include "assist/ContrastAudit.h"

#include "contrast/PageCheckWindow.h"

#include <QObject>
#include <QPointer>
#include <optional>

class ContrastWindow;
class QAction;
class QLabel;
class QMenu;
class SampleArea;

// The accessibility checks: the sample as readers with a colour-vision deficiency see it, Contrast
// Check, a whole scheme proposed to meet the contrast rules, and Page Check of the last page read.
class CheckCommands : public QObject {
    Q_OBJECT
public:
    explicit CheckCommands(const CommandContext& context);

    // The sample the simulations recolour, and its caption, which names the simulation.
    void showOn(SampleArea* sample, QLabel* sampleCaption);

    // Adds Tools > Simulate Color Vision to `tools`.
    void createVisionMenu(QMenu* tools);
    // Shows the sample as a reader with `deficiency` sees it.
    void simulateVision(ColourVision::Deficiency deficiency);
    void showContrastCheck();
    void fixContrast();
    void makeDarkScheme();
    void showPageCheck();

    // The page Apply Tag, a drop or Open Page read last, judged; Page Check shows it.
    void pageJudged(const QString& fileName, const PageJudgement& light, const PageJudgement& dark);
    const std::optional<JudgedPage>& judgedPage() const { return m_judgedPage; }
    // What Page Check offers with no page judged yet: File > Open Page.
    void setOpenPage(QAction* openPage) { m_openPage = openPage; }

signals:
    // The contrast target of a proposal applied: the one the scheme is now meant to meet.
    void targetChosen(ContrastAudit::Target target);

private:
    CommandContext m_context;
    SampleArea* m_sample = nullptr;
    QLabel* m_sampleCaption = nullptr;
    QPointer<ContrastWindow> m_contrastWindow;
    QPointer<PageCheckWindow> m_pageCheckWindow;
    std::optional<JudgedPage> m_judgedPage;
    QAction* m_openPage = nullptr;
};
