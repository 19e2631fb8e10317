#pragma once

struct CommandLine;

// What the program does with its command line: print help, the version or an error, check or fix
// schemes without a display, or start the window. Returns the exit status.
int runCommand(const CommandLine& command);
