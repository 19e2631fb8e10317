// How long the tag box takes to paste a web page and Apply Tag to read it, the longest the window goes
// without handling its events meanwhile (a 5 ms timer measures the gaps), and what one repaint of the
// box then costs. Then, for comparison, unbroken lines in a text box laid out as the tag box was before.
#include "app/Application.h"
#include "app/ColourCommands.h"
#include "app/MainWindow.h"
#include "dialogs/DialogBackend.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>
#include <cstdio>

namespace {

QtMessageHandler g_qtMessageHandler = nullptr;

// The offscreen platform says so for every fixed-size window; it is noise in a report of figures.
void dropSizeHintsNotice(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message == QLatin1String("This plugin does not support propagateSizeHints()"))
        return;
    g_qtMessageHandler(type, context, message);
}

// Answers every question with a cancel and lets every message go unseen: Apply Tag says that a line
// of random letters holds no colours.
class QuietDialogs : public DialogBackend {
public:
    std::optional<QString> openFile(QWidget*, const FileDialogRequest&) override { return {}; }
    std::optional<QString> saveFile(QWidget*, const FileDialogRequest&) override { return {}; }
    std::optional<QColor> chooseColour(QWidget*, const QColor&, quint32) override { return {}; }
    std::optional<int> choosePrinter(QWidget*, QPrinter&, quint32) override { return {}; }
    void message(QWidget*, const QString&, const QString&) override { }
    SaveChoice askToSave(QWidget*, const QString&, const QString&, bool) override { return SaveChoice::Discard; }
    QString askTitle(QWidget*) override { return {}; }
};

// A page as a browser's "save as" gives it: a style sheet, a BODY tag, then lines of paragraphs.
QString webPage(qsizetype size)
{
    QString page = QStringLiteral("<!DOCTYPE html>\n<html><head><title>A long page</title>\n<style>\n"
                                  "body { background-color: #fdf6e3; color: #073642; margin: 12px 0 }\n"
                                  "a:link { color: #268bd2 } a:visited { color: #6c71c4 } a:active { color: "
                                  "#dc322f }\n</style></head>\n<body bgcolor=\"#FFFFFF\" text=\"#000000\">\n");
    for (int n = 0; page.size() < size; ++n)
        page += QStringLiteral("<p>Paragraph %1 of the page, with <a href=\"https://example.org/%1\">a link</a> "
                               "and <span style=\"color: #586e75\">some quieter words</span> in it.</p>\n")
                    .arg(n);
    page.truncate(size);
    return page;
}

// One line with no break opportunity, as a minified script or a data URL.
QString singleLine(qsizetype size)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QRandomGenerator random(17);
    QString line(size, Qt::Uninitialized);
    for (QChar& c : line)
        c = QLatin1Char(digits[random.bounded(62)]);
    return line;
}

// The longest time between two ticks of a timer on the window's thread, from start() on.
class GapMeter {
public:
    GapMeter()
    {
        m_timer.setInterval(5);
        QObject::connect(
            &m_timer, &QTimer::timeout, [this] { m_longest = std::max(m_longest, m_sinceTick.restart()); });
        m_timer.start();
    }
    void start()
    {
        QApplication::processEvents();
        m_sinceTick.start();
        m_longest = 0;
    }
    qint64 longest() { return std::max(m_longest, m_sinceTick.elapsed()); }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    qint64 m_longest = 0;
};

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// One repaint of the box as it stands, as each blink of the cursor makes.
qint64 repaintTime(QPlainTextEdit* box)
{
    QElapsedTimer clock;
    clock.start();
    box->viewport()->repaint();
    return clock.elapsed();
}

// A text box as the tag box was before: the text box's own wrap mode, which looks for a word
// boundary to the end of the paragraph for every line it lays out.
void measureOldWrap(const char* name, const QString& text)
{
    QPlainTextEdit box;
    box.setGeometry(0, 0, 465, 33);
    box.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box.show();
    settle();
    QElapsedTimer clock;
    clock.start();
    box.textCursor().insertText(text);
    settle();
    const qint64 paste = clock.elapsed();
    std::printf("%-18s paste %4lld ms, a repaint %3lld ms\n", name, static_cast<long long>(paste),
        static_cast<long long>(repaintTime(&box)));
    std::fflush(stdout);
}

void measure(MainWindow& window, GapMeter& gaps, const char* name, const QString& text)
{
    auto* box = window.findChild<QPlainTextEdit*>(QStringLiteral("tagline"));
    auto* commands = window.findChild<ColourCommands*>();
    box->setFocus();
    box->selectAll();
    QGuiApplication::clipboard()->setText(text);
    settle();

    gaps.start();
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    settle();
    const qint64 paste = clock.elapsed();
    const qint64 pasteGap = gaps.longest();
    const qint64 repaint = repaintTime(box);
    if (box->document()->characterCount() - 1 != text.size())
        std::printf("%s: the paste did not arrive\n", name);

    gaps.start();
    clock.restart();
    window.findChild<QAction*>(QStringLiteral("ItemApplyTag"))->trigger();
    const qint64 answered = clock.elapsed();
    while (commands->isReadingTag())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    settle();
    const qint64 applied = clock.elapsed();
    std::printf("%-18s paste %4lld ms (longest event %4lld ms), a repaint %3lld ms; Apply Tag answers in %3lld ms, "
                "applied in %3lld ms (longest event %3lld ms)\n",
        name, static_cast<long long>(paste), static_cast<long long>(pasteGap), static_cast<long long>(repaint),
        static_cast<long long>(answered), static_cast<long long>(applied), static_cast<long long>(gaps.longest()));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_qtMessageHandler = qInstallMessageHandler(dropSizeHintsNotice);
    QApplication app(argc, argv);
    configureApplication(app);
    MainWindow window(std::make_unique<QuietDialogs>());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    GapMeter gaps;
    measure(window, gaps, "100 KB page", webPage(100'000));
    measure(window, gaps, "1 MB page", webPage(1'000'000));
    measure(window, gaps, "2 MB page", webPage(2'000'000));
    measure(window, gaps, "1 MB single line", singleLine(1'000'000));
    // Before: time in the square of the line's length.
    for (const qsizetype size : {25'000, 50'000, 100'000})
        measureOldWrap(qPrintable(QStringLiteral("%1 KB line before").arg(size / 1000)), singleLine(size));
    return 0;
}
