#pragma once

#include <QDialog>

class QLineEdit;

// NewTitle: asks for the text the sample shows as its title. Made afresh for every use, so the box
// always starts empty.
class TitleDialog : public QDialog {
    Q_OBJECT
public:
    explicit TitleDialog(QWidget* parent = nullptr);

    // What the user confirmed with OK: the entry as typed, or an empty text when OK was pressed on
    // an empty box or the dialog was closed another way.
    QString confirmedTitle() const { return m_confirmed; }

private:
    void ok();

    QLineEdit* m_entry;
    QString m_confirmed;
};
