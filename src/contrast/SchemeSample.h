#pragma once

#include "colour/ColourScheme.h"

#include <QWidget>

// A small sample page: the background with the title and four lines, painted flat in exactly the
// scheme's colours.
class SchemeSample : public QWidget {
    Q_OBJECT
public:
    explicit SchemeSample(QWidget* parent = nullptr);

    void setScheme(const ColourScheme& scheme);
    // Whether the three link lines are drawn underlined, as the author's pages show links.
    void setLinksUnderlined(bool underlined);
    const ColourScheme& scheme() const { return m_scheme; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ColourScheme m_scheme;
    bool m_linksUnderlined = false;
};
