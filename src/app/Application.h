#pragma once

class QApplication;

// Everything the program sets on the application before its first window: names, fonts, style.
void configureApplication(QApplication& app);
