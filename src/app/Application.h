#pragma once

class QApplication;

#include <QString>

// Everything the program sets on the application before its first window: names, fonts, style. The
// style is Fusion unless `styleName` (from -style) names another one that exists.
void configureApplication(QApplication& app, const QString& styleName = {});

// SIGTERM, SIGINT and SIGHUP end the program with status 0 instead of killing it.
void quitOnTerminationSignals(QApplication& app);
