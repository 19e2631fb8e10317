#include "Commands.h"

#include "CommandLine.h"
#include "WindowModule.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

// Reading a large style sheet builds tens of megabytes of small blocks, and taking that memory from
// the system a 4 KiB page at a time costs as much as a sixth of a check. So for a check the heap grows
// in large steps, is not given back until the end, and asks for huge pages where the system has them
// (transparent huge pages on request). Nothing changes but the speed when it has not.
void prepareHeapForReading()
{
#if defined(__linux__) && defined(__GLIBC__)
    constexpr int Step = 32 << 20;
    constexpr std::uintptr_t HugePage = 2 << 20;
    mallopt(M_TOP_PAD, Step);
    mallopt(M_TRIM_THRESHOLD, 2 * Step);
    mallopt(M_MMAP_THRESHOLD, Step);
    // A block that extends the heap by a step now, so that the step can be marked at once.
    void* block = std::malloc(Step / 2);
    const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(block) + HugePage - 1) & ~(HugePage - 1);
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(sbrk(0)) & ~(HugePage - 1);
    if (block && end > start)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    std::free(block);
#endif
}

} // namespace

int runCommand(const CommandLine& command)
{
    switch (command.action) {
    case CommandLine::Action::ShowHelp:
    case CommandLine::Action::ShowVersion:
        std::fputs(command.output.toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "hueloom: %s\n", command.output.toLocal8Bit().constData());
        std::fputs(command.jsonError.toUtf8().constData(), stdout);
        return 2;
    case CommandLine::Action::Check:
    case CommandLine::Action::Fix: {
        prepareHeapForReading();
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
