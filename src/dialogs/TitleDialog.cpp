#include "TitleDialog.h"

#include "ui/Controls.h"
#include "ui/Look.h"
#include "ui/WindowPlacement.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

using Controls::place;

TitleDialog::TitleDialog(QWidget* parent)
    : QDialog(parent)
    , m_entry(new QLineEdit(this))
{
    setObjectName(QStringLiteral("NewTitle"));
    setWindowTitle(tr("New Title Dialog Box"));
    Look::apply(this);
    setFixedSize(389, 109);
    setModal(true);

    QLabel* prompt = Controls::label(this, QStringLiteral("Label1"),
        tr("Please enter the text below that you would like to appear as the Title in the Sample."), {16, 16, 361, 33});
    prompt->setWordWrap(true);
    place(m_entry, QStringLiteral("Text1"), QRect(16, 56, 361, 19));
    m_entry->setAccessibleName(tr("New title"));
    // A title has no length limit; QLineEdit's own would cut it at 32,767 characters.
    m_entry->setMaxLength(std::numeric_limits<int>::max());
    auto* ok = place(new QPushButton(tr("&Ok"), this), QStringLiteral("Command1"), QRect(136, 80, 105, 25));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TitleDialog::ok);

    setTabOrder(m_entry, ok);
    m_entry->setFocus();
    WindowPlacement::centreOnScreen(this);
}

void TitleDialog::ok()
{
    m_confirmed = m_entry->text();
    accept();
}
