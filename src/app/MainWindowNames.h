#pragma once

#include <QString>

// The caption of every message box the main window's commands show.
namespace MainWindowNames {

inline const QString Caption = QStringLiteral("Hueloom");

} // namespace MainWindowNames
