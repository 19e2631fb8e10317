#pragma once

#include <QtGlobal>

// Option flags of the common dialog, with the values users' scheme tools have always used.
namespace DialogFlags {
// File dialogs.
inline constexpr quint32 OverwritePrompt = 0x2;
inline constexpr quint32 HideReadOnly = 0x4;
inline constexpr quint32 PathMustExist = 0x800;
inline constexpr quint32 NoReadOnlyReturn = 0x8000;
// Colour dialog: open with the initial colour selected.
inline constexpr quint32 RgbInit = 0x1;
// Print dialog.
inline constexpr quint32 NoSelection = 0x4;
inline constexpr quint32 NoPageNumbers = 0x8;
inline constexpr quint32 DisablePrintToFile = 0x80000;
inline constexpr quint32 HidePrintToFile = 0x100000;
} // namespace DialogFlags
