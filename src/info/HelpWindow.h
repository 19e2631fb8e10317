#pragma once

#include "InfoWindow.h"

// Form3: what each menu command does.
class HelpWindow : public InfoWindow {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
};
