#include "app/Application.h"
#include "info/AboutWindow.h"
#include "ui/Artwork.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

// The pictures on a screen at twice the pixels: the About picture is the one rendered at 2x, with
// detail the 1x picture scaled up does not have, and the icon offers every size up to 512.
class TestHiDpi : public QObject {
    Q_OBJECT
private slots:
    void aboutPictureIsSharpAt2x();
    void iconOffersEverySize();
};

namespace {

// Pixels where the two images differ by more than a rounding step in any channel.
int differing(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 8 || std::abs(qGreen(p) - qGreen(q)) > 8
                || std::abs(qBlue(p) - qBlue(q)) > 8)
                ++count;
        }
    return count;
}

} // namespace

void TestHiDpi::aboutPictureIsSharpAt2x()
{
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    AboutWindow about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QLabel* picture = about.findChild<QLabel*>(QStringLiteral("Image1"));
    QCOMPARE(picture->geometry(), QRect(0, 0, 135, 216));
    const QImage grab = picture->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(grab.size(), QSize(270, 432));
    // What the window shows is the 2x rendering itself…
    const QImage sharp = Artwork::aboutPicture(2).toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(differing(grab, sharp), 0);
    // …and it has detail (the letters' edges above all) that the 1x picture scaled up lacks.
    const QImage small = Artwork::aboutPicture(1).toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(small.size(), QSize(135, 216));
    for (const Qt::TransformationMode mode : {Qt::FastTransformation, Qt::SmoothTransformation}) {
        const int lacking = differing(grab, small.scaled(270, 432, Qt::IgnoreAspectRatio, mode));
        qInfo("pixels the upscaled 1x picture gets wrong (%s): %d of %d",
            mode == Qt::FastTransformation ? "nearest" : "smooth", lacking, 270 * 432);
        QVERIFY(lacking > 500);
    }
}

void TestHiDpi::iconOffersEverySize()
{
    const QIcon icon = Artwork::mainIcon();
    QList<QSize> sizes = icon.availableSizes();
    std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
    const QList<QSize> expected{{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}, {512, 512}};
    QCOMPARE(sizes, expected);
    // Each size is a true rendering of its own, not one picture scaled.
    for (const QSize size : expected)
        QCOMPARE(icon.pixmap(size, 1.0).size(), size);
    // At 2x, a 32-pixel icon is drawn from the 64-pixel rendering.
    QCOMPARE(icon.pixmap(QSize(32, 32), 2.0).size(), QSize(64, 64));
}

int main(int argc, char* argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    configureApplication(app);
    TestHiDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hidpi.moc"
