#pragma once

#include <QStringList>

// What a list of recent files shows: each file's name, and for names that occur more than once, as
// much of the folder, counted from its end, as tells them apart ("scheme.hlm (work/site)").
namespace RecentNames {

QStringList shown(const QStringList& paths);

} // namespace RecentNames
