// What one save costs now that it reaches the disk: a scheme file and a settings change, each synced
// before its rename and its folder synced after. The folder is on the disk the build is on (a tmpfs
// /tmp would make every sync free); HUELOOM_BENCH_DIR names another.
#include "files/SchemeFile.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

void report(const char* what, int rounds, const std::function<bool(int)>& save)
{
    double totalMs = 0.0;
    double worstMs = 0.0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        if (!save(round)) {
            std::printf("%s: the save failed\n", what);
            return;
        }
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        totalMs += ms;
        worstMs = std::max(worstMs, ms);
    }
    std::printf("%s: %.2f ms mean, %.2f ms worst over %d saves\n", what, totalMs / rounds, worstMs, rounds);
}

} // namespace

int main()
{
    const QString base = qEnvironmentVariable("HUELOOM_BENCH_DIR", QDir::currentPath());
    QTemporaryDir dir(base + QStringLiteral("/bench-save-XXXXXX"));
    if (!dir.isValid()) {
        std::printf("save: no folder to save in under %s\n", qPrintable(base));
        return 1;
    }
    constexpr int Rounds = 100;
    const QString scheme = dir.filePath(QStringLiteral("sea.hlm"));
    report("save scheme (synced)", Rounds, [&](int round) {
        ColourScheme colours;
        colours.setValue(0, static_cast<qint16>(round % 256));
        return SchemeFile::write(scheme, colours);
    });
    SettingsStore store(dir.filePath(QStringLiteral("hueloom.ini")));
    report("store a setting (locked, synced)", Rounds, [&](int round) {
        return store.write(QStringLiteral("HLM"), QStringLiteral("Settings"), QStringLiteral("TitleText"),
            QStringLiteral("Title %1").arg(round));
    });
    return 0;
}
