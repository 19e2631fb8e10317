#pragma once

#include <QLabel>

// The sample page's title: one line of the user's own text. A title wider than the line ends in "…"
// where it is cut, and its tool tip then shows it whole above the contrast note it always gives. The
// label's text stays the whole title.
class SampleTitle : public QLabel {
    Q_OBJECT
public:
    explicit SampleTitle(QWidget* parent = nullptr);

    // The title as the line shows it: whole, or cut with "…".
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};
