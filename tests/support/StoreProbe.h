#pragma once

#include "settings/StoreSteps.h"

#include <functional>
#include <utility>

// Runs a test's own code at a settings store's steps: a kill at the n-th step, a count of the attempts
// at the lock.
class StoreProbe : public StoreSteps {
public:
    std::function<void()> onLockAttempt;
    std::function<void()> onStep;

    void lockAttempt() override
    {
        if (onLockAttempt)
            onLockAttempt();
    }
    void stepTaken() override
    {
        if (onStep)
            onStep();
    }
};
