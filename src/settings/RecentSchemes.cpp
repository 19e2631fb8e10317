#include "RecentSchemes.h"

namespace {

const QString Application = QStringLiteral("HLM");
const QString Section = QStringLiteral("Recent Schemes");

QString keyOf(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}

} // namespace

RecentSchemes::RecentSchemes(SettingsStore& store)
    : m_store(store)
{
}

QStringList RecentSchemes::fromEntries(const SettingsStore::Entries& entries)
{
    QStringList files;
    for (int i = 0; i < Count; ++i) {
        for (const auto& [name, file] : entries) {
            if (name.compare(keyOf(i), Qt::CaseInsensitive) == 0 && !file.isEmpty() && !files.contains(file)) {
                files << file;
                break;
            }
        }
    }
    return files;
}

void RecentSchemes::load()
{
    m_files = fromEntries(m_store.readSection(Application, Section));
}

bool RecentSchemes::change(const std::function<QStringList(QStringList)>& edit)
{
    QStringList stored;
    const bool kept = m_store.update(Application, Section, [&](const SettingsStore::Entries& entries) {
        stored = edit(fromEntries(entries)).mid(0, Count);
        // Only File1..File5 are written: any further key of the section (File6, or thousands of them
        // left by something else) goes, so it costs no later read anything.
        SettingsStore::Entries written;
        for (int i = 0; i < stored.size(); ++i)
            written.append({keyOf(i), stored.at(i)});
        return written;
    });
    m_files = kept ? stored : edit(m_files).mid(0, Count);
    return kept;
}

bool RecentSchemes::remember(const QString& path)
{
    return change([&path](QStringList files) {
        files.removeAll(path);
        files.prepend(path);
        return files;
    });
}

bool RecentSchemes::forget(const QString& path)
{
    return change([&path](QStringList files) {
        files.removeAll(path);
        return files;
    });
}

bool RecentSchemes::clear()
{
    return change([](const QStringList&) { return QStringList(); });
}
