#pragma once

#include "app/Application.h"

#include <QApplication>
#include <QTest>

// QTEST_MAIN with the program's own application set-up (fonts, style), so widgets measure as they do
// in the program.
#define HUELOOM_TEST_MAIN(TestClass)                                                                                   \
    int main(int argc, char* argv[])                                                                                   \
    {                                                                                                                  \
        QApplication app(argc, argv);                                                                                  \
        configureApplication(app);                                                                                     \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
