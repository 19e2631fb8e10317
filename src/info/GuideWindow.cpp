#include "GuideWindow.h"

#include "CodeBlocks.h"
#include "ui/Artwork.h"
#include "ui/Fonts.h"
#include "ui/WindowPlacement.h"

#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

const QSize StartSize(720, 560);

} // namespace

GuideWindow::GuideWindow(QWidget* parent)
    : InfoWindow(QStringLiteral("GuideWindow"), tr("Hueloom User Guide"), StartSize, Artwork::helpIcon(), parent)
    , m_browser(new QTextBrowser(this))
{
    // Unlike the other information windows, a long text: the reader may make the window larger.
    setMinimumSize(360, 240);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);

    m_browser->setObjectName(QStringLiteral("GuideText"));
    m_browser->setAccessibleName(tr("User Guide"));
    m_browser->setOpenExternalLinks(true);
    // Running text in the regular weight; the window's own captions are bold.
    m_browser->setFont(Fonts::sansSerif(9.75, false));
    // The text's own background, white, rather than the window's grey.
    QPalette white = m_browser->palette();
    white.setColor(QPalette::Base, Qt::white);
    white.setColor(QPalette::Text, Qt::black);
    m_browser->setPalette(white);
    m_browser->setSource(QUrl(QStringLiteral("qrc:/guide/guide.md")), QTextDocument::MarkdownResource);
    m_codeBlocks = new CodeBlocks(m_browser);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(m_browser, 1);
    layout->addWidget(addOkButton({0, 0, 65, 25}), 0, Qt::AlignRight);
    WindowPlacement::centreOnScreen(this);
    m_browser->setFocus();
}

QSize GuideWindow::sizeHint() const
{
    return StartSize;
}
