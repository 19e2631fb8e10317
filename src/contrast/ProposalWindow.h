#pragma once

#include "assist/ContrastFixer.h"
#include "colour/ColourScheme.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QRadioButton;
class SchemeSample;

// A window that shows the current scheme beside one proposed for it under the chosen contrast rules, each
// as a small sample page over its ratios (or APCA Lc for an APCA target), with the target, the links'
// underlining and a note on what the proposal had to do. The proposal follows the choices as they change; Apply hands
// it over with applied() and closes, Cancel closes and changes nothing. What the proposal is, and what else the window
// shows, is the subclass's own.
class ProposalWindow : public QDialog {
    Q_OBJECT
public:
    // One radio button of the target row, in the order of ContrastFixer::Targets.
    struct TargetChoice {
        QString text;
        QString objectName;
        QString accessibleName; // empty: the button's text
    };
    // How the proposed side is named: its caption, its object names' stem and the sample's accessible name.
    struct ProposedSide {
        QString caption;
        QString stem;
        QString accessibleName;
    };

    using TargetChoices = std::array<TargetChoice, std::size(ContrastFixer::Targets)>;
    // Where the target buttons stand in the tab order: before the check box, or after the window's buttons.
    enum class TargetTabs { First, Last };

    // A new current scheme (the author changed a colour meanwhile): the proposal follows it.
    void setScheme(const ColourScheme& current);

    const ColourScheme& currentScheme() const { return m_current; }
    const ContrastFixer::Proposal& proposal() const { return m_proposal; }
    ContrastFixer::Target target() const;
    bool linksUnderlined() const;

    // The figures under a sample: one line for the text and one for each link, each figure marked
    // with whether it meets the target.
    static QString ratioText(const ColourScheme& scheme, ContrastFixer::Target target, bool linksUnderlined);

signals:
    void applied(const ColourScheme& proposed);

protected:
    ProposalWindow(const ColourScheme& current,
        const ProposedSide& side,
        const TargetChoices& targets,
        TargetTabs tabs,
        QWidget* parent);

    // The subclass's rows go into the grid under the two samples and their ratios (rows from 3), before
    // finish().
    QGridLayout* grid() const { return m_grid; }
    QPushButton* applyButton() const { return m_apply; }
    QCheckBox* underlinedBox() const { return m_underlined; }
    // A label of the window's text, top left in its cell.
    QLabel* plainLabel(const QString& name, const QString& text = {});
    // Lays out the target row, the note and the buttons (leftButton, if any, alone on the left), makes
    // the first proposal and fixes the window's size. The subclass's constructor calls it last.
    void finish(QPushButton* leftButton = nullptr);

    // The proposal for the current scheme under the chosen rules.
    virtual ContrastFixer::Proposal propose(
        const ColourScheme& current, ContrastFixer::Target target, bool linksUnderlined) const = 0;
    // What the proposal had to do, for the note under the samples.
    virtual QString noteText() const = 0;
    // Called after each new proposal, once the samples and the note show it.
    virtual void showProposal() { }

private:
    void createTargets();
    void renew();

    TargetChoices m_choices;
    ColourScheme m_current;
    ContrastFixer::Proposal m_proposal;
    SchemeSample* m_currentSample;
    SchemeSample* m_proposedSample;
    QLabel* m_currentRatios;
    QLabel* m_proposedRatios;
    std::array<QRadioButton*, std::size(ContrastFixer::Targets)> m_targets;
    QCheckBox* m_underlined;
    QLabel* m_note;
    QPushButton* m_apply;
    QPushButton* m_cancel;
    QGridLayout* m_grid;
};
