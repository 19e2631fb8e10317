#pragma once

#include "InfoWindow.h"

// Form4: the one known problem and what to do about it.
class TroubleWindow : public InfoWindow {
    Q_OBJECT
public:
    explicit TroubleWindow(QWidget* parent = nullptr);
};
