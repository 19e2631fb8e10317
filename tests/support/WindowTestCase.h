#pragma once

#include "TestWindow.h"

#include <QObject>
#include <QTest>
#include <memory>

// Base of the tests that drive a main window: a fresh, active window before each test function, and
// after it a check that every scripted dialog answer was used.
class WindowTestCase : public QObject {
    Q_OBJECT
protected slots:
    virtual void init()
    {
        m_test = std::make_unique<TestWindow>();
        m_window = &m_test->window;
        m_dialogs = m_test->dialogs;
        m_probe = &m_test->probe;
        m_changes = &m_test->changes;
        QVERIFY(QTest::qWaitForWindowActive(m_window));
    }

    virtual void cleanup()
    {
        const bool answered = m_dialogs->allAnswered();
        m_test.reset();
        QVERIFY2(answered, "a scripted answer was never asked for");
    }

protected:
    std::unique_ptr<TestWindow> m_test;
    MainWindow* m_window = nullptr;
    ScriptedDialogs* m_dialogs = nullptr;
    WindowProbe* m_probe = nullptr;
    QSignalSpy* m_changes = nullptr;
};
