#include "SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

// The name in `names` that equals `wanted` but for letter case, or `wanted` itself when none does.
QString matching(const QStringList& names, const QString& wanted)
{
    for (const QString& name : names)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    return wanted;
}

// Every name in `names` equal to `wanted` but for letter case.
QStringList allMatching(const QStringList& names, const QString& wanted)
{
    QStringList found;
    for (const QString& name : names)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            found << name;
    return found;
}

// Enters the groups for application and section, in whatever case they were first written.
void enterSection(QSettings& settings, const QString& application, const QString& section)
{
    settings.beginGroup(matching(settings.childGroups(), application));
    settings.beginGroup(matching(settings.childGroups(), section));
}

} // namespace

SettingsStore::SettingsStore()
    : SettingsStore(defaultFilePath())
{
}

SettingsStore::SettingsStore(QString filePath)
    : m_filePath(std::move(filePath))
{
}

QString SettingsStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Hueloom/hueloom.ini");
}

QString SettingsStore::read(
    const QString& application, const QString& section, const QString& key, const QString& fallback) const
{
    const QFileInfo info(m_filePath);
    if (!info.isFile() || !info.isReadable())
        return fallback;
    QSettings settings(m_filePath, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return fallback;
    enterSection(settings, application, section);
    const QVariant value = settings.value(matching(settings.childKeys(), key));
    return value.isValid() ? value.toString() : fallback;
}

bool SettingsStore::write(const QString& application, const QString& section, const QString& key, const QString& value)
{
    const QFileInfo info(m_filePath);
    if (info.exists() && !info.isFile())
        return false;
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    QSettings settings(m_filePath, QSettings::IniFormat);
    // A file QSettings cannot parse is left alone rather than overwritten with only this value.
    if (settings.status() != QSettings::NoError)
        return false;
    enterSection(settings, application, section);
    const QStringList spellings = allMatching(settings.childKeys(), key);
    // Keep the first spelling the store knows; drop any others, so one name means one value.
    for (qsizetype i = 1; i < spellings.size(); ++i)
        settings.remove(spellings.at(i));
    settings.setValue(spellings.isEmpty() ? key : spellings.first(), value);
    settings.endGroup();
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}
