#include "TitleCommands.h"

#include "dialogs/DialogBackend.h"
#include "settings/SettingsStore.h"
#include "settings/StoredTitle.h"

#include <QDir>
#include <QLabel>

TitleCommands::TitleCommands(SettingsStore& store, DialogBackend& dialogs, QWidget* window, QLabel* title)
    : QObject(window)
    , m_store(store)
    , m_dialogs(dialogs)
    , m_window(window)
    , m_title(title)
{
}

bool TitleCommands::readStoredTitle()
{
    m_startupTitle = StoredTitle(m_store).read();
    return !m_startupTitle.isEmpty();
}

void TitleCommands::showStartupTitle()
{
    m_title->setText(m_startupTitle);
}

void TitleCommands::CreateSettings()
{
    StoredTitle stored(m_store);
    if (!stored.createDefault())
        reportUnstoredTitle();
    // A store that cannot be read back still leaves the sample its default title.
    m_startupTitle = stored.readDefault();
}

void TitleCommands::changeTitle()
{
    const QString confirmed = m_dialogs.askTitle(m_window);
    if (!confirmed.isEmpty())
        m_pendingTitle = confirmed;
    if (m_pendingTitle.isEmpty())
        return;
    if (!StoredTitle(m_store).write(m_pendingTitle))
        reportUnstoredTitle();
    m_title->setText(m_pendingTitle);
}

void TitleCommands::reportUnstoredTitle()
{
    // Said once a run: the title still works for this run, it just will not be there next time.
    if (!m_store.firstFailureNotice())
        return;
    // A note, not a message box: at start-up a box would be over the window as it appears and take the
    // user's first click or key, and nothing here needs an answer.
    emit noted(tr("The sample title could not be stored in %1.  It is used for this session only.")
                   .arg(QDir::toNativeSeparators(m_store.filePath())));
}
