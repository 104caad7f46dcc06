// Painting a frame from the model: layers and drawing order, hidden
// controls, placeholders for missing pictures, the explosion burst, and the
// time a frame takes.
#include "app/form.h"
#include "view/frame_painter.h"
#include "view/label_styles.h"
#include "view/qtest_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <vector>

using namespace kestrada;
using namespace kestrada::view;

namespace {
QImage paint(const Form& form, const SpritePictures& pictures, const ExplosionEffect& explosion,
             qreal dpr = 1.0) {
    QImage frame(QSize(590, 477) * dpr, QImage::Format_ARGB32_Premultiplied);
    frame.setDevicePixelRatio(dpr);
    frame.fill(QColor(192, 192, 192));
    QPainter painter(&frame);
    paintFrame(painter, form, pictures, explosion);
    return frame;
}

QColor at(const QImage& frame, double x, double y) {
    const qreal dpr = frame.devicePixelRatio();
    return frame.pixelColor(int(x * dpr), int(y * dpr));
}

void place(Control& c, float left, float top) {
    c.Left = left;
    c.Top = top;
    c.Visible = true;
}
} // namespace

class FramePaintingTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir empty_;

  private Q_SLOTS:
    void missingOrBrokenPicturesBecomePlaceholders() {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("pictures"));
        QFile broken(dir.filePath(QStringLiteral("pictures/car.svg")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("<svg this is not");
        broken.close();

        SpritePictures pictures(dir.filePath(QStringLiteral("pictures")));
        QVERIFY(!pictures.hasArtwork(Picture::Car));
        QVERIFY(!pictures.hasArtwork(Picture::Road));
        pictures.prepare(1.0, {{Picture::Car, QSize(25, 44)}});
        const QImage& car = pictures.image(Picture::Car, QSize(25, 44));
        QCOMPARE(car.size(), QSize(25, 44));
        QCOMPARE(car.pixelColor(12, 20), placeholderColour(Picture::Car));
        // Never prepared at all: the painter fills the place itself.
        QVERIFY(pictures.image(Picture::Hog, QSize(28, 42)).isNull());

        Form form;
        form.imgHog().Visible = true;
        const QImage frame = paint(form, pictures, ExplosionEffect(form.imgBoom()));
        QCOMPARE(at(frame, form.imgHog().Left + 5, form.imgHog().Top + 5),
                 placeholderColour(Picture::Hog));
    }

    void placeholdersAreAllDifferent() {
        std::vector<QRgb> colours;
        for (int i = 0; i < kPictureCount - 1; ++i) { // the icon may share the car's
            colours.push_back(placeholderColour(static_cast<Picture>(i)).rgb());
        }
        std::sort(colours.begin(), colours.end());
        QVERIFY(std::adjacent_find(colours.begin(), colours.end()) == colours.end());
    }

    void picturesAreRenderedForTheDevicePixelRatio() {
        SpritePictures pictures(QStringLiteral(KESTRADA_PICTURE_DIR));
        const Form form;
        pictures.prepare(2.0, picturesUsedBy(form));
        const QImage& car = pictures.image(Picture::Car, QSize(25, 44));
        QCOMPARE(car.size(), QSize(50, 88));
        QCOMPARE(car.devicePixelRatio(), 2.0);
        QCOMPARE(car.format(), QImage::Format_ARGB32_Premultiplied);
        pictures.prepare(1.0, picturesUsedBy(form));
        QCOMPARE(pictures.image(Picture::Car, QSize(25, 44)).size(), QSize(25, 44));
        // The weapon indicator stretches the missile to its own size.
        QCOMPARE(pictures.image(Picture::Missile, QSize(16, 26)).size(), QSize(16, 26));
    }

    void upperLayerCoversTheLowerAndBringToFrontReorders() {
        SpritePictures pictures(empty_.path());
        Form form;
        pictures.prepare(1.0, picturesUsedBy(form));
        // The wreck and the car picture on one spot, the car's hit box on
        // the dashboard, over the labels and the line.
        place(form.imgCar(), 100, 100);
        place(form.imgWreck(), 100, 100);
        place(form.picCar(), 500, 260);
        const ExplosionEffect none(form.imgBoom());

        QImage frame = paint(form, pictures, none);
        QCOMPARE(at(frame, 110, 110), placeholderColour(Picture::Car));
        QCOMPARE(at(frame, 510, 280), placeholderColour(Picture::Car));

        form.bringToFront(ControlId::imgWreck);
        frame = paint(form, pictures, none);
        QCOMPARE(at(frame, 110, 110), placeholderColour(Picture::CarWreck));

        // The median's box sits above every image, the car's box above it.
        place(form.picSplit(), 90, 0);
        place(form.picCar(), 120, 200);
        frame = paint(form, pictures, none);
        QCOMPARE(at(frame, 110, 110), placeholderColour(Picture::Median));
        QCOMPARE(at(frame, 130, 210), placeholderColour(Picture::Car));
    }

    void hiddenControlsAndTheFramesChildren() {
        SpritePictures pictures(empty_.path());
        Form form;
        pictures.prepare(1.0, picturesUsedBy(form));
        const ExplosionEffect none(form.imgBoom());
        // Design state: the road shows, the hidden hog does not.
        QImage frame = paint(form, pictures, none);
        QCOMPARE(at(frame, form.imgHog().Left + 5, form.imgHog().Top + 5),
                 placeholderColour(Picture::Road));
        // The frame's children are placed inside it and only drawn with it.
        const QPointF buttonFace(form.fraScores().Left + form.cmdNewGame().Left + 10,
                                 form.fraScores().Top + form.cmdNewGame().Top + 3);
        QCOMPARE(at(frame, buttonFace.x(), buttonFace.y()), placeholderColour(Picture::Road));
        form.fraScores().Visible = true;
        frame = paint(form, pictures, none);
        QCOMPARE(at(frame, form.fraScores().Left + 2, 200), QColor(0, 0, 0));
        QCOMPARE(at(frame, buttonFace.x(), buttonFace.y()), QColor(255, 128, 0));
    }

    void needleIsARedLineFromPivotToTip() {
        SpritePictures pictures(empty_.path());
        Form form;
        pictures.prepare(1.0, picturesUsedBy(form));
        form.linSpeed = Line{536, 182, 536, 150, true};
        QImage frame = paint(form, pictures, ExplosionEffect(form.imgBoom()));
        QCOMPARE(at(frame, 536, 165), QColor(255, 0, 0));
        form.linSpeed.Visible = false;
        frame = paint(form, pictures, ExplosionEffect(form.imgBoom()));
        QVERIFY(at(frame, 536, 165) != QColor(255, 0, 0));
    }

    void explosionBurstsWhereTheSpriteMovedAndFades() {
        SpritePictures pictures(empty_.path());
        Form form;
        pictures.prepare(1.0, picturesUsedBy(form));
        ExplosionEffect burst(form.imgBoom());
        const QColor boom = placeholderColour(Picture::Boom);

        burst.observe(form.imgBoom()); // not moved: nothing
        QVERIFY(!burst.active());

        form.imgBoom().Left = 100;
        form.imgBoom().Top = 300;
        burst.observe(form.imgBoom());
        QVERIFY(burst.active());
        QImage frame = paint(form, pictures, burst);
        QCOMPARE(at(frame, 108, 308), boom);
        // The burst grows beyond the sprite as it goes, and fades.
        for (int i = 0; i < 3; ++i) {
            burst.observe(form.imgBoom());
        }
        frame = paint(form, pictures, burst);
        QVERIFY(at(frame, 98, 308) != placeholderColour(Picture::Road));
        QVERIFY(at(frame, 108, 308) != boom);

        int frames = 4;
        while (burst.active()) {
            burst.observe(form.imgBoom());
            ++frames;
        }
        QCOMPARE(frames, ExplosionEffect::kFrames + 1);
        frame = paint(form, pictures, burst);
        QCOMPARE(at(frame, 108, 308), placeholderColour(Picture::Road));
    }

    void labelFontsAreTheInstalledFreeFonts() {
        QCOMPARE(QFontInfo(labelStyle(ControlId::lblScore).font).family(),
                 QStringLiteral("DejaVu Sans"));
        QCOMPARE(QFontInfo(labelStyle(ControlId::lblInfo1).font).family(),
                 QStringLiteral("Liberation Sans"));
        QCOMPARE(QFontInfo(labelStyle(ControlId::lblPaused).font).family(),
                 QStringLiteral("Comic Neue"));
        QCOMPARE(labelStyle(ControlId::lblPaused).font.pixelSize(), 96);
        QCOMPARE(labelStyle(ControlId::lblInfo5).font.pixelSize(), 13);
        QCOMPARE(labelStyle(ControlId::lblInfo9).font.pixelSize(), 12);
        QVERIFY(labelStyle(ControlId::lblInfo9).font.underline());
        QCOMPARE(labelStyle(ControlId::lblScoreTitle).font.pixelSize(), 27);
        QCOMPARE(labelStyle(ControlId::cmdNewGame).font.pixelSize(), 21);
    }

    void aBusyFrameTakesUnderAMillisecond() {
        SpritePictures pictures(QStringLiteral(KESTRADA_PICTURE_DIR));
        Form form;
        pictures.prepare(1.0, picturesUsedBy(form));
        // Everything on screen at once, the paused label included.
        for (std::size_t i = 0; i < kControlCount; ++i) {
            form.control(static_cast<ControlId>(i)).Visible = true;
        }
        form.fraScores().Visible = false;
        form.lblScore().Caption = "123456";
        for (int i = 1; i <= 10; ++i) {
            form.lblInfo(i).Caption = i % 2 == 0 ? "Move\r\nAccelerate\r\nBrake" : "ARROWS";
        }
        const ExplosionEffect none(form.imgBoom());
        QImage frame(590, 477, QImage::Format_ARGB32_Premultiplied);
        std::vector<qint64> times;
        for (int i = 0; i < 60; ++i) {
            QElapsedTimer clock;
            clock.start();
            QPainter painter(&frame);
            paintFrame(painter, form, pictures, none);
            painter.end();
            times.push_back(clock.nsecsElapsed());
        }
        std::sort(times.begin(), times.end());
        const double medianMs = double(times[times.size() / 2]) / 1e6;
        qInfo("median frame: %.3f ms", medianMs);
        QVERIFY2(medianMs < 1.0, qPrintable(QString::number(medianMs)));
        testing::saveScreenshot(frame, QStringLiteral("everything.png"));
    }
};

QTEST_MAIN(FramePaintingTest)
#include "frame_painting_qtest.moc"
