#pragma once

struct CommandLine;

// What the program does with its command line: print help, the version or an error, check or fix
// schemes without a display, or start the window. Returns the exit status.
int runCommand(const CommandLine& command);

// The window: Qt's own options, the display (a failure to reach it said in one line), the
// application's set-up, the main window and the scheme file named on the command line.
int runWindow(const CommandLine& command);
