#pragma once

#include <cstdint>

// Counts the steps a reading takes against an allowance proportional to the text's length, so that
// no shape of text (deep :has(), var() fan-out, nesting) can make the reading more than linear: past
// the allowance the reading stops and says the page was too complex.
class WorkBudget {
public:
    explicit WorkBudget(std::int64_t allowance)
        : m_left(allowance)
    {
    }

    // Takes `steps` from what is left; false once the allowance is spent.
    bool spend(std::int64_t steps = 1)
    {
        m_spent += steps;
        m_left -= steps;
        return m_left >= 0;
    }
    bool exhausted() const { return m_left < 0; }
    std::int64_t spent() const { return m_spent; }

private:
    std::int64_t m_left;
    std::int64_t m_spent = 0;
};
