#pragma once

#include "scheme/ColorScheme.h"
#include "scheme/ContrastFixer.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class SchemeSample;

// "Fix Contrast": the current scheme beside the nearest one that meets the chosen contrast rules,
// each as a small sample page with its ratios (or APCA Lc for an APCA target). The proposal follows the choices as they
// change; Apply hands it over with applied() and closes, Cancel closes and changes nothing.
class FixContrastWindow : public QDialog {
    Q_OBJECT
public:
    explicit FixContrastWindow(const ColorScheme& current, QWidget* parent = nullptr);

    // A new current scheme (the author changed a colour meanwhile): the proposal follows it.
    void setScheme(const ColorScheme& current);

    const ColorScheme& currentScheme() const { return m_current; }
    const ContrastFixer::Proposal& proposal() const { return m_proposal; }
    ContrastFixer::Target target() const;
    bool linksUnderlined() const;

signals:
    void applied(const ColorScheme& proposed);

private:
    void propose();
    QString ratioText(const ColorScheme& scheme) const;
    QString noteText() const;

    ColorScheme m_current;
    ContrastFixer::Proposal m_proposal;
    SchemeSample* m_currentSample;
    SchemeSample* m_proposedSample;
    QLabel* m_currentRatios;
    QLabel* m_proposedRatios;
    QRadioButton* m_aa;
    QRadioButton* m_aaa;
    std::array<QRadioButton*, 3> m_apca;
    QCheckBox* m_underlined;
    QLabel* m_note;
    QPushButton* m_apply;
    QPushButton* m_cancel;
};
