#include "WindowModule.h"

#include <QByteArray>
#include <climits>
#include <cstdio>
#include <dlfcn.h>
#include <unistd.h>

namespace {

// The folder of the running program, with its links resolved: the module is found relative to it, so
// that a build tree and an installed tree each load their own.
QByteArray programFolder()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof path))
        return {};
    QByteArray folder(path, length);
    return folder.left(folder.lastIndexOf('/') + 1);
}

} // namespace

int runWindowModule(const CommandLine& command)
{
    const QByteArray folder = programFolder();
    // Beside the program in the build tree; in its folder of libexec once installed.
    const QByteArray candidates[]
        = {folder + "hueloom-window.so", folder + HUELOOM_WINDOW_MODULE_DIR "/hueloom-window.so"};
    void* module = nullptr;
    QByteArray problem;
    for (const QByteArray& candidate : candidates) {
        if (access(candidate.constData(), F_OK) != 0)
            continue;
        module = dlopen(candidate.constData(), RTLD_NOW | RTLD_LOCAL);
        if (!module)
            problem = dlerror();
        break;
    }
    if (!module && problem.isEmpty())
        problem = candidates[1] + ": no such file";
    const auto entry = module ? reinterpret_cast<WindowEntry>(dlsym(module, HUELOOM_WINDOW_ENTRY)) : nullptr;
    if (module && !entry)
        problem = dlerror();
    if (!entry) {
        std::fprintf(stderr, "hueloom: cannot start the window: %s\n", problem.constData());
        return 1;
    }
    // The module stays loaded to the end: Qt's clean-up at exit runs code of its own from it.
    return entry(&command);
}
