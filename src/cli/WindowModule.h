#pragma once

struct CommandLine;

// The window lives in a module of its own, loaded only when the program opens a window, so that the
// commands without one start without the GUI libraries. Runs the window for `command` and returns its
// exit status; when the module cannot be loaded, says so in one line and returns 1.
int runWindowModule(const CommandLine& command);

// The module's entry point, with C linkage so that it can be looked up by name.
#define HUELOOM_WINDOW_ENTRY "hueloomRunWindow"
using WindowEntry = int (*)(const CommandLine* command);
