#pragma once

#include "ScriptedDialogs.h"
#include "WindowProbe.h"
#include "app/MainWindow.h"

#include <QObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// Base of the tests that drive a main window. Before each test function: a fresh window, shown and
// active, whose every modal question goes to scripted dialogs, a probe on its controls, a spy on its
// channel changes and an empty scratch folder. After it: a check that every scripted answer was used.
class WindowTestCase : public QObject {
    Q_OBJECT
protected slots:
    virtual void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_fixture = std::make_unique<Fixture>();
        m_window = &m_fixture->window;
        m_dialogs = m_fixture->dialogs;
        m_probe = &m_fixture->probe;
        m_changes = &m_fixture->changes;
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
    }

    virtual void cleanup()
    {
        const bool answered = m_dialogs->allAnswered();
        m_fixture.reset();
        m_dir.reset();
        QVERIFY2(answered, "a scripted answer was never asked for");
    }

protected:
    MainWindow* m_window = nullptr;
    ScriptedDialogs* m_dialogs = nullptr;
    WindowProbe* m_probe = nullptr;
    QSignalSpy* m_changes = nullptr;
    std::unique_ptr<QTemporaryDir> m_dir;

private:
    struct Fixture {
        ScriptedDialogs* dialogs = new ScriptedDialogs; // owned by the window
        MainWindow window{std::unique_ptr<DialogBackend>(dialogs)};
        WindowProbe probe{window};
        QSignalSpy changes{window.findChild<QObject*>(QStringLiteral("Frame1")), SIGNAL(channelChanged(int, int))};
    };
    std::unique_ptr<Fixture> m_fixture;
};
