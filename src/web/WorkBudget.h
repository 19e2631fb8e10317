#pragma once

#include <cstdint>
#include <stop_token>

// Counts the steps a reading takes against an allowance proportional to the text's length, so that
// no shape of text (deep :has(), var() fan-out, nesting) can make the reading more than linear: past
// the allowance the reading stops and says the page was too complex.
class WorkBudget {
public:
    // The work a reading may take per character of the texts it reads: the page, and each style sheet
    // file it links or imports.
    static constexpr std::int64_t StepsPerCharacter = 64;

    // A stop requested through `stop` spends the whole allowance at once: the reading is abandoned.
    explicit WorkBudget(std::int64_t allowance, std::stop_token stop = {})
        : m_left(allowance)
        , m_stop(std::move(stop))
    {
    }

    // Takes `steps` from what is left; false once the allowance is spent.
    bool spend(std::int64_t steps = 1)
    {
        m_spent += steps;
        m_left -= steps;
        // A look at the stop every so often: it is shared with the thread that asks for it.
        if ((++m_calls & 1023) == 0 && m_stop.stop_requested())
            m_left = -1;
        return m_left >= 0;
    }
    // Adds to what is left: the allowance of a style sheet the reading has come to. Nothing for a reading
    // already spent, which stays so.
    void grant(std::int64_t steps)
    {
        if (m_left >= 0)
            m_left += steps;
    }
    bool exhausted() const { return m_left < 0; }
    std::int64_t spent() const { return m_spent; }
    const std::stop_token& stop() const { return m_stop; }

private:
    std::int64_t m_left;
    std::int64_t m_spent = 0;
    std::uint32_t m_calls = 0;
    std::stop_token m_stop;
};
