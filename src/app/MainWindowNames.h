#pragma once

#include <QString>

// Names the main window's files share: the caption of its message boxes and where its settings live.
namespace MainWindowNames {

// Every message box of the program is captioned with the program's name.
inline const QString Caption = QStringLiteral("Hueloom");
// The settings store's application name and its sections.
inline const QString StoreApplication = QStringLiteral("HLM");
inline const QString SettingsSection = QStringLiteral("Settings");
inline const QString RecentSection = QStringLiteral("Recent Schemes");

} // namespace MainWindowNames
