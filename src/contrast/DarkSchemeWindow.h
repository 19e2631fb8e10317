#pragma once

#include "scheme/ColorScheme.h"
#include "scheme/ContrastFixer.h"
#include "scheme/Margins.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class SchemeSample;

// "Make Dark Scheme": the current scheme beside a dark companion that meets the chosen contrast rules.
// Copy CSS with Dark Mode puts the current scheme's CSS on the clipboard followed by the dark one for
// readers who prefer dark pages; Apply hands the dark scheme over with applied() and closes; Cancel
// closes and changes nothing.
class DarkSchemeWindow : public QDialog {
    Q_OBJECT
public:
    DarkSchemeWindow(const ColorScheme& current, const Margins& margins, QWidget* parent = nullptr);

    // A new current scheme (the author changed a colour meanwhile): the proposal follows it.
    void setScheme(const ColorScheme& current);

    const ContrastFixer::Proposal& proposal() const { return m_proposal; }
    ContrastFixer::Target target() const;
    // The current scheme's CSS, then the dark scheme's inside @media (prefers-color-scheme: dark).
    QString cssWithDarkMode() const;

signals:
    void applied(const ColorScheme& dark);

private:
    void propose();

    ColorScheme m_current;
    Margins m_margins;
    ContrastFixer::Proposal m_proposal;
    SchemeSample* m_currentSample;
    SchemeSample* m_darkSample;
    std::array<QRadioButton*, 5> m_targets;
    QCheckBox* m_underlined;
    QLabel* m_note;
    QPushButton* m_copy;
    QPushButton* m_apply;
    QPushButton* m_cancel;
};
