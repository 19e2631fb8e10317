#pragma once

struct CommandLine;

// The window: Qt's own options, the display (a failure to reach it said in one line), the
// application's set-up, the main window and the scheme file named on the command line.
int runWindow(const CommandLine& command);

// The same, as the window module's entry point (see cli/WindowModule.h).
extern "C" int hueloomRunWindow(const CommandLine* command);
