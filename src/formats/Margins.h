#pragma once

#include <QtGlobal>

// The left and top page margins and whether each is in use (its check box ticked).
class Margins {
public:
    static constexpr int Minimum = 0;
    static constexpr int Maximum = 50;
    static constexpr int Start = 10;

    int left() const { return m_left; }
    int top() const { return m_top; }
    bool useLeft() const { return m_useLeft; }
    bool useTop() const { return m_useTop; }

    void setLeft(int value) { m_left = clamped(value); }
    void setTop(int value) { m_top = clamped(value); }
    void setUseLeft(bool use) { m_useLeft = use; }
    void setUseTop(bool use) { m_useTop = use; }

    // One arrow step; the value stops at 0 and 50.
    void stepLeft(int delta) { setLeft(m_left + delta); }
    void stepTop(int delta) { setTop(m_top + delta); }

    bool operator==(const Margins&) const = default;

private:
    static qint16 clamped(int value) { return static_cast<qint16>(qBound(Minimum, value, Maximum)); }

    qint16 m_left = Start;
    qint16 m_top = Start;
    bool m_useLeft = false;
    bool m_useTop = false;
};
