#include "ShortcutsWindow.h"

#include "ui/Artwork.h"
#include "ui/Fonts.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString plain(QString text)
{
    // "&&" is a real ampersand, a single "&" marks the access letter.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    return text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

const QMenu* menuOf(const QAction* action)
{
    // A narrow menu bar shows its last menus in an untitled overflow menu too; that is no place to name.
    for (const QObject* holder : action->associatedObjects())
        if (const auto* menu = qobject_cast<const QMenu*>(holder); menu && !menu->title().isEmpty())
            return menu;
    return nullptr;
}

} // namespace

ShortcutsWindow::ShortcutsWindow(const QList<QAction*>& actions, QWidget* parent)
    : InfoWindow(QStringLiteral("ShortcutsWindow"), tr("Keyboard Shortcuts"), {460, 440}, Artwork::helpIcon(), parent)
    , m_table(new QTableWidget(0, 2, this))
{
    m_table->setObjectName(QStringLiteral("ShortcutsTable"));
    m_table->setAccessibleName(tr("Keyboard Shortcuts"));
    m_table->setHorizontalHeaderLabels({tr("Command"), tr("Shortcut")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setFont(Fonts::sansSerif(8.25, true));
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    for (const QAction* action : actions) {
        if (action->isSeparator() || action->text().isEmpty())
            continue;
        QStringList keys;
        for (const QKeySequence& shortcut : action->shortcuts())
            keys << shortcut.toString(QKeySequence::NativeText);
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        m_table->setItem(row, 0, new QTableWidgetItem(menuPath(action)));
        m_table->setItem(row, 1, new QTableWidgetItem(keys.join(QStringLiteral(", "))));
    }
    m_table->resizeRowsToContents();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(m_table, 1);
    layout->addWidget(addOkButton({0, 0, 65, 25}), 0, Qt::AlignRight);
}

QString ShortcutsWindow::menuPath(const QAction* action)
{
    // Undo and Redo name the step they would take back ("Undo Text Color"); the list names the command.
    QString path = action->objectName() == QLatin1String("ItemUndo") ? tr("Undo")
        : action->objectName() == QLatin1String("ItemRedo")          ? tr("Redo")
                                                                     : plain(action->text());
    for (const QMenu* menu = menuOf(action); menu; menu = menuOf(menu->menuAction()))
        path = plain(menu->title()) + QStringLiteral(" > ") + path;
    return path;
}
