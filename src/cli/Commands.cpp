#include "Commands.h"

#include "CommandLine.h"
#include "WindowModule.h"

#include <cstdio>

int runCommand(const CommandLine& command)
{
    switch (command.action) {
    case CommandLine::Action::ShowHelp:
    case CommandLine::Action::ShowVersion:
        std::fputs(command.output.toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "hueloom: %s\n", command.output.toLocal8Bit().constData());
        return 2;
    case CommandLine::Action::Check:
    case CommandLine::Action::Fix: {
        // Kept to the end of the process rather than destroyed: the exit frees it at no cost.
        static const auto* const result = new ContrastCommand::Result(command.action == CommandLine::Action::Check
                ? ContrastCommand::check(command.contrast)
                : ContrastCommand::fix(command.contrast));
        std::fputs(result->output.toLocal8Bit().constData(), stdout);
        std::fputs(result->notes.toLocal8Bit().constData(), stderr);
        return result->status;
    }
    case CommandLine::Action::Run:
        break;
    }
    return runWindowModule(command);
}
