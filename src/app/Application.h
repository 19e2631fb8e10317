#pragma once

class QApplication;

// Everything the program sets on the application before its first window: names, fonts, style.
void configureApplication(QApplication& app);

// SIGTERM, SIGINT and SIGHUP end the program as Exit does, with status 0, instead of killing it.
void quitOnTerminationSignals(QApplication& app);
