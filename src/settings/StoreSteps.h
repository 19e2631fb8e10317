#pragma once

// What a change of the settings store tells as it goes: each attempt at the store's lock, and each step
// of the change (the lock taken, the new file written beside the old one, the new file in place). The
// program listens to none of it; tests stop a writer at a step, or count its attempts at the lock.
class StoreSteps {
public:
    virtual ~StoreSteps() = default;

    virtual void lockAttempt() { }
    virtual void stepTaken() { }
};
