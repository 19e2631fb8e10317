// The accessibility checks: the sample as readers with a colour-vision deficiency see it, and a whole
// scheme proposed to meet the contrast rules.
#include "MainWindow.h"
#include "SampleArea.h"
#include "contrast/ContrastWindow.h"
#include "contrast/FixContrastWindow.h"
#include "scheme/BodyTag.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>

void MainWindow::createVisionMenu()
{
    m_visionMenu = m_toolsMenu->addMenu(tr("Simulate Color &Vision"));
    m_visionMenu->setObjectName(QStringLiteral("VisionMenu"));
    m_visionMenu->menuAction()->setObjectName(QStringLiteral("ItemVision"));
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    const std::pair<ColourVision::Deficiency, QString> items[] = {
        {ColourVision::Deficiency::Normal, tr("&Normal Vision")},
        {ColourVision::Deficiency::Protanopia, tr("&Protanopia")},
        {ColourVision::Deficiency::Deuteranopia, tr("&Deuteranopia")},
        {ColourVision::Deficiency::Tritanopia, tr("&Tritanopia")},
        {ColourVision::Deficiency::Achromatopsia, tr("&Achromatopsia")},
    };
    for (const auto& [deficiency, text] : items) {
        QAction* item = m_visionMenu->addAction(text);
        item->setObjectName(QStringLiteral("ItemVision%1").arg(ColourVision::displayName(deficiency).remove(' ')));
        item->setCheckable(true);
        item->setChecked(deficiency == ColourVision::Deficiency::Normal);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, deficiency = deficiency] { simulateVision(deficiency); });
    }
}

void MainWindow::simulateVision(ColourVision::Deficiency deficiency)
{
    m_vision = deficiency;
    // Only the sample page changes; the caption says what it shows.
    const bool on = deficiency != ColourVision::Deficiency::Normal;
    m_sampleCaption->setText(on ? tr("Sample (%1)").arg(ColourVision::displayName(deficiency)) : tr("Sample"));
    m_sampleCaption->resize(on ? m_sampleCaption->sizeHint().width() : 49, m_sampleCaption->height());
    recolourWholeSample();
    if (m_contrastWindow)
        m_contrastWindow->setSimulation(deficiency, m_scheme);
}

QColor MainWindow::seen(const QColor& colour) const
{
    return ColourVision::simulate(m_vision, colour);
}

void MainWindow::fixContrast()
{
    auto* window = new FixContrastWindow(m_scheme, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &FixContrastWindow::applied, this, [this](const ColorScheme& proposed) {
        SchemeState fixed = state();
        fixed.scheme = proposed;
        fixed.tag = BodyTag::compose(proposed, fixed.margins);
        recordChange(tr("Fix Contrast"), [this, &fixed] { showState(fixed, selectedSlot()); });
    });
    // Window-modal: the scheme cannot change under the proposal while the window is open.
    window->open();
}
