#pragma once

#include "ScriptedDialogs.h"
#include "WindowProbe.h"
#include "app/MainWindow.h"

#include <QSignalSpy>

// A main window for a test: every modal question goes to scripted dialogs, a probe reads its
// controls, and a spy counts channel changes. Shown on construction.
struct TestWindow {
    TestWindow()
        : dialogs(new ScriptedDialogs)
        , window(std::unique_ptr<DialogBackend>(dialogs))
        , probe(window)
        , changes(window.findChild<QObject*>(QStringLiteral("Frame1")), SIGNAL(channelChanged(int, int)))
    {
        window.show();
    }

    ScriptedDialogs* dialogs; // owned by the window
    MainWindow window;
    WindowProbe probe;
    QSignalSpy changes;
};
