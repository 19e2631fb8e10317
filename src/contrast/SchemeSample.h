#pragma once

#include "scheme/ColorScheme.h"

#include <QWidget>

// A small sample page: the background with the title and four lines, painted flat in exactly the
// scheme's colours.
class SchemeSample : public QWidget {
    Q_OBJECT
public:
    explicit SchemeSample(QWidget* parent = nullptr);

    void setScheme(const ColorScheme& scheme);
    const ColorScheme& scheme() const { return m_scheme; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ColorScheme m_scheme;
};
