#include "StoredTitle.h"

namespace {

const QString Application = QStringLiteral("HLM");
const QString Section = QStringLiteral("Settings");

} // namespace

StoredTitle::StoredTitle(SettingsStore& store)
    : m_store(store)
{
}

QString StoredTitle::read() const
{
    return m_store.read(Application, Section, QStringLiteral("TitleText"));
}

bool StoredTitle::createDefault()
{
    return m_store.write(Application, Section, QStringLiteral("Titletext"), DefaultTitle);
}

QString StoredTitle::readDefault() const
{
    const QString title = m_store.read(Application, Section, QStringLiteral("Titletext"));
    return title.isEmpty() ? DefaultTitle : title;
}

bool StoredTitle::write(const QString& title)
{
    return m_store.write(Application, Section, QStringLiteral("TitleText"), title);
}
