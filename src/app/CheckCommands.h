#pragma once

#include "CommandContext.h"
#include "assist/ColourVision.h"

#include <QObject>
#include <QPointer>

class ContrastWindow;
class QLabel;
class QMenu;
class SampleArea;

// The accessibility checks: the sample as readers with a colour-vision deficiency see it, Contrast
// Check, and a whole scheme proposed to meet the contrast rules.
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

private:
    CommandContext m_context;
    SampleArea* m_sample = nullptr;
    QLabel* m_sampleCaption = nullptr;
    QPointer<ContrastWindow> m_contrastWindow;
};
