#pragma once

#include "app/MainWindow.h"
#include "app/MarginPreview.h"
#include "dialogs/CommonDialog.h"
#include "formats/BodyTag.h"
#include "formats/ValueText.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>

// Reads and drives the main window's controls by their names, the way tests address them.
class WindowProbe {
public:
    explicit WindowProbe(MainWindow& window)
        : m_window(window)
    {
    }

    template <typename T = QWidget> T* child(const QString& name) const
    {
        T* widget = m_window.findChild<T*>(name);
        if (!widget)
            qFatal("no control named %s", qPrintable(name));
        return widget;
    }

    QScrollBar* bar(int channel) const
    {
        static const char* names[] = {"redscroll", "greenscroll", "bluescroll"};
        return child<QScrollBar>(QString::fromLatin1(names[channel]));
    }
    QLabel* valueLabel(int channel) const
    {
        static const char* names[] = {"Red", "Green", "Blue"};
        return child<QLabel>(QString::fromLatin1(names[channel]));
    }
    QRadioButton* option(int slot) const { return child<QRadioButton>(QStringLiteral("cc(%1)").arg(slot)); }
    QCheckBox* box(int index) const { return child<QCheckBox>(QStringLiteral("Check1(%1)").arg(index)); }
    QPlainTextEdit* tagline() const { return child<QPlainTextEdit>(QStringLiteral("tagline")); }
    QString taglineText() const { return tagline()->toPlainText(); }

    QList<int> bars() const { return {bar(0)->value(), bar(1)->value(), bar(2)->value()}; }
    QStringList valueTexts() const { return {valueLabel(0)->text(), valueLabel(1)->text(), valueLabel(2)->text()}; }

    // The colours the sample shows, as (back of the page, each sample line's back and fore).
    QColor pageColour() const { return child(QStringLiteral("background"))->palette().color(QPalette::Window); }
    QColor fore(const QString& name) const { return child(name)->palette().color(QPalette::WindowText); }
    QColor back(const QString& name) const { return child(name)->palette().color(QPalette::Window); }

    // Clicks a part of a scroll bar (an arrow or the trough on one side of the thumb) with the mouse.
    static void clickBar(QScrollBar* bar, QStyle::SubControl part)
    {
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.orientation = bar->orientation();
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = bar->sliderPosition();
        option.sliderValue = bar->value();
        option.singleStep = bar->singleStep();
        option.pageStep = bar->pageStep();
        option.upsideDown = bar->invertedAppearance();
        const QRect rect = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
        QTest::mouseClick(bar, Qt::LeftButton, {}, rect.center());
    }

    // Every check the program promises after each operation; returns what is wrong, or nothing.
    QString brokenInvariant() const
    {
        const int slot = m_window.selectedSlot();
        if (slot < 0)
            return QStringLiteral("no slot selected");
        const ColourScheme& scheme = m_window.scheme();
        for (int c = 0; c < 3; ++c) {
            if (bar(c)->value() != scheme.channel(slot, c))
                return QStringLiteral("bar %1 does not show the selected slot").arg(c);
            if (valueLabel(c)->text() != ValueText::value(bar(c)->value()))
                return QStringLiteral("value label %1 does not match its bar").arg(c);
        }
        const QColor page = scheme.colour(Slot::Background);
        for (const char* name : {"background", "Title", "Normal", "newlink", "visitedlink", "activelink"})
            if (back(QString::fromLatin1(name)) != page)
                return QStringLiteral("%1 is not in the page colour").arg(QLatin1String(name));
        if (fore(QStringLiteral("Title")) != scheme.colour(Slot::Text)
            || fore(QStringLiteral("Normal")) != scheme.colour(Slot::Text)
            || fore(QStringLiteral("newlink")) != scheme.colour(Slot::NewLink)
            || fore(QStringLiteral("visitedlink")) != scheme.colour(Slot::VisitedLink)
            || fore(QStringLiteral("activelink")) != scheme.colour(Slot::ActiveLink))
            return QStringLiteral("a sample line is not in its slot's colour");

        const Margins& margins = m_window.margins();
        if (margins.useLeft() != box(0)->isChecked() || margins.useTop() != box(1)->isChecked())
            return QStringLiteral("margins in use do not follow the boxes");
        const QString tag = m_window.tag().text();
        if (tag != BodyTag::compose(scheme, margins))
            return QStringLiteral("tag %1 is not the composed tag").arg(tag);
        if (tagline()->toPlainText() != tag)
            return QStringLiteral("tag line does not show the tag");
        static const std::pair<int, const char*> fixed[] = {{1, R"(<BODY BGCOLOR="#)"}, {23, R"(" TEXT="#)"},
            {38, R"(" LINK="#)"}, {53, R"(" VLINK="#)"}, {69, R"(" ALINK="#)"}, {85, "\""}};
        for (const auto& [position, text] : fixed)
            if (tag.mid(position - 1, qstrlen(text)) != QLatin1String(text))
                return QStringLiteral("attribute text moved from position %1").arg(position);
        if (child(QStringLiteral("SpinButton2"))->isEnabled() != margins.useLeft()
            || child(QStringLiteral("SpinButton1"))->isEnabled() != margins.useTop())
            return QStringLiteral("spin buttons enabled out of step with the boxes");
        if (child(QStringLiteral("Label7"))->pos() != MarginPreview::position(margins))
            return QStringLiteral("margin preview is not at its margins");
        return {};
    }

private:
    MainWindow& m_window;
};
