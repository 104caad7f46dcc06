// What a player sees in the real window at the start of a game, while
// driving and after a crash, checked pixel by pixel against the model's own
// places: the car, the needle, the dashboard and the wreck. The pictures
// come from the window's own picture cache, so new artwork needs no change
// here. The whole run repeats in a child process with two device pixels to
// a window pixel, since the ratio is fixed once the application is up.
#include "app/form.h"
#include "view/main_window.h"
#include "view/play_field.h"
#include "view/qtest_support.h"

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <cmath>
#include <memory>
#include <vector>

using kestrada::Control;
using kestrada::ControlId;
using kestrada::Form;
using kestrada::view::MainWindow;
using kestrada::view::Picture;
using namespace kestrada::view::testing;

// A check made in a helper ends only the helper when it fails; this ends
// the test there too, before later steps pile up errors that follow from it.
#define CHECKED(call)                                                                              \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed()) {                                                          \
            return;                                                                                \
        }                                                                                          \
    } while (false)

namespace {
// The ratio this run was started with: 1 unless the environment scales.
qreal expectedRatio() {
    bool ok = false;
    const double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok ? factor : 1.0;
}

QString shotName(const QString& stem, qreal dpr) {
    return stem + (dpr == 1.0 ? QString() : QStringLiteral("_dpr%1").arg(dpr)) +
           QStringLiteral(".png");
}

QRectF windowRect(const Control& c) {
    return QRectF(c.Left, c.Top, c.Width, c.Height);
}

// Where the window paints a control: its corner lands on a whole device pixel.
QPoint deviceCorner(const Control& c, qreal dpr) {
    return QPoint(qRound(c.Left * dpr), qRound(c.Top * dpr));
}

// The needle is the game's own red line, not artwork. Its edges blend into
// what lies below, so a nearly pure red pixel next to the point will do.
bool needleRedNear(const QImage& frame, QPointF point) {
    const qreal dpr = frame.devicePixelRatio();
    const QPoint centre(int(std::floor(point.x() * dpr)), int(std::floor(point.y() * dpr)));
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint p = centre + QPoint(dx, dy);
            if (!frame.rect().contains(p)) {
                continue;
            }
            const QColor c = frame.pixelColor(p);
            if (c.red() >= 235 && c.green() <= 30 && c.blue() <= 30) {
                return true;
            }
        }
    }
    return false;
}

// Controls drawn over the dashboard, in window pixels with a pixel to spare
// for anti-aliased edges: the dashboard itself is compared everywhere else.
std::vector<QRectF> coversOfTheDashboard(const Form& form) {
    std::vector<QRectF> covers;
    for (std::size_t i = 0; i < kestrada::kControlCount; ++i) {
        const auto id = static_cast<ControlId>(i);
        if (id == ControlId::imgDash || id == ControlId::imgCracked || id == ControlId::imgRoad) {
            continue;
        }
        if (form.control(id).Visible) {
            covers.push_back(windowRect(form.control(id)).adjusted(-1, -1, 1, 1));
        }
    }
    const kestrada::Line& needle = form.linSpeed;
    if (needle.Visible) {
        covers.push_back(QRectF(QPointF(needle.X1, needle.Y1), QPointF(needle.X2, needle.Y2))
                             .normalized()
                             .adjusted(-3, -3, 3, 3));
    }
    return covers;
}

bool covered(const std::vector<QRectF>& covers, QPointF point) {
    for (const QRectF& r : covers) {
        if (r.contains(point)) {
            return true;
        }
    }
    return false;
}

struct Comparison {
    int compared = 0;
    int wrong = 0;
};

// Every pixel the picture paints fully opaque must reach the screen
// unchanged at the device corner; see-through pixels show what lies below
// and are not compared.
Comparison opaquePixelsAt(const QImage& frame, const QImage& picture, QPoint corner) {
    Comparison result;
    const QImage pic = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < pic.height(); ++y) {
        for (int x = 0; x < pic.width(); ++x) {
            const QRgb want = pic.pixel(x, y);
            const QPoint at = corner + QPoint(x, y);
            if (qAlpha(want) != 255 || !frame.rect().contains(at)) {
                continue;
            }
            ++result.compared;
            if (frame.pixel(at) != want) {
                ++result.wrong;
            }
        }
    }
    return result;
}

// The dashboard control as the window should show it wherever no other
// control covers it: its picture over the window's own background.
Comparison dashboardAt(const QImage& frame, const Control& dash, const QImage& picture,
                       const std::vector<QRectF>& covers) {
    const qreal dpr = frame.devicePixelRatio();
    // Composed in device pixels, one picture pixel to one screen pixel.
    QImage art = picture;
    art.setDevicePixelRatio(1.0);
    QImage expected(art.size(), QImage::Format_ARGB32_Premultiplied);
    expected.fill(QColor(192, 192, 192));
    QPainter(&expected).drawImage(0, 0, art);
    const QPoint corner = deviceCorner(dash, dpr);
    Comparison result;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QPoint at = corner + QPoint(x, y);
            if (!frame.rect().contains(at) || covered(covers, QPointF(at) / dpr)) {
                continue;
            }
            ++result.compared;
            if (frame.pixel(at) != expected.pixel(x, y)) {
                ++result.wrong;
            }
        }
    }
    return result;
}
} // namespace

class RenderingTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<ScratchDataDir> data_;
    std::unique_ptr<MainWindow> window_;
    qreal dpr_ = 1.0;

    const Form& form() const { return window_->form(); }
    QWidget* field() const { return &window_->playField(); }

    const QImage& picture(Picture which, const Control& c) const {
        return window_->playField().pictures().image(which,
                                                     QSize(qRound(c.Width), qRound(c.Height)));
    }

    QImage grabFrame(const QString& stem) const {
        QImage frame = field()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        saveScreenshot(frame, shotName(stem, dpr_));
        return frame;
    }

    // The car's own picture sits wherever the model shows the car.
    void checkCar(const QImage& frame) {
        const bool boxed = form().picCar().Visible;
        QVERIFY(boxed != form().imgCar().Visible); // one car on screen, not two
        const Control& car = boxed ? form().picCar() : form().imgCar();
        const QImage& art = picture(Picture::Car, car);
        QCOMPARE(art.size(), QSize(25, 44) * dpr_);
        const Comparison match = opaquePixelsAt(frame, art, deviceCorner(car, dpr_));
        QVERIFY2(match.compared > art.width() * art.height() / 4,
                 qPrintable(QString::number(match.compared)));
        QCOMPARE(match.wrong, 0);
    }

    // The needle runs from the pivot to the tip the model gives, and stops
    // there: nothing red beyond the tip or behind the pivot.
    void checkNeedle(const QImage& frame) {
        const kestrada::Line& line = form().linSpeed;
        QVERIFY(line.Visible);
        const QPointF pivot(line.X1, line.Y1);
        const QPointF tip(line.X2, line.Y2);
        const QPointF along = (tip - pivot) / std::hypot(tip.x() - pivot.x(), tip.y() - pivot.y());
        QVERIFY2(needleRedNear(frame, tip), "tip");
        // Labels drawn over the needle (the speed read-out) may hide a part.
        std::vector<QRectF> labels;
        for (const ControlId id : {ControlId::lblSpeed, ControlId::lblScore}) {
            labels.push_back(windowRect(form().control(id)));
        }
        int seen = 0;
        for (int step = 0; step <= 20; ++step) {
            const QPointF point = pivot + (tip - pivot) * (step / 20.0);
            if (covered(labels, point)) {
                continue;
            }
            ++seen;
            QVERIFY2(needleRedNear(frame, point), qPrintable(QString::number(step)));
        }
        QVERIFY(seen >= 5);
        for (const double beyond : {4.0, 6.0, 10.0}) {
            QVERIFY(!needleRedNear(frame, tip + along * beyond));
            QVERIFY(!needleRedNear(frame, pivot - along * (beyond + 4)));
        }
    }

    void checkDashboard(const QImage& frame, Picture which) {
        const Control& shown = which == Picture::Dash ? form().imgDash() : form().imgCracked();
        QVERIFY(shown.Visible);
        const QImage& art = picture(which, shown);
        QCOMPARE(art.size(), QSize(107, 478) * dpr_);
        const Comparison match = dashboardAt(frame, shown, art, coversOfTheDashboard(form()));
        QVERIFY2(match.compared > art.width() * art.height() / 2,
                 qPrintable(QString::number(match.compared)));
        QCOMPARE(match.wrong, 0);
    }

  private Q_SLOTS:
    void init() {
        data_ = std::make_unique<ScratchDataDir>();
        window_ = std::make_unique<MainWindow>(data_->fsPath(), 23);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        dpr_ = field()->devicePixelRatioF();
        QCOMPARE(dpr_, expectedRatio());
        // Pictures the first frame did not show are rendered just after it.
        QTRY_VERIFY(!picture(Picture::DashCracked, form().imgCracked()).isNull());
        QTRY_VERIFY(!picture(Picture::CarWreck, form().imgWreck()).isNull());
    }

    void cleanup() {
        window_.reset();
        data_.reset();
    }

    void startShowsTheCarTheNeedleAndTheWholeDashboard() {
        QVERIFY(!form().GameOver);
        QCOMPARE(form().Speed, int16_t(0));
        const QImage start = grabFrame(QStringLiteral("rendering_start"));
        QCOMPARE(start.size(), QSize(590, 477) * dpr_);
        QCOMPARE(start.devicePixelRatio(), dpr_);
        CHECKED(checkCar(start));
        CHECKED(checkNeedle(start));
        CHECKED(checkDashboard(start, Picture::Dash));
        // The two dashboards must really differ, or the crash checks
        // below would prove nothing.
        QVERIFY(picture(Picture::Dash, form().imgDash()) !=
                picture(Picture::DashCracked, form().imgCracked()));
    }

    void crashLeavesTheWreckTheCrackedDashboardAndNoNeedle() {
        const QImage start = grabFrame(QStringLiteral("rendering_start"));
        const QRect startCar(deviceCorner(form().imgCar(), dpr_), QSize(25, 44) * dpr_);
        const kestrada::Line restingNeedle = form().linSpeed;

        // Onto the asphalt and up to speed: the car is drawn in its box
        // and the needle has swung away from rest.
        QTest::keyPress(field(), Qt::Key_Up);
        QTRY_VERIFY(form().Speed >= 3);
        QTest::keyPress(field(), Qt::Key_Left);
        QTRY_VERIFY_WITH_TIMEOUT(form().picCar().Visible, 3000);
        QTest::keyRelease(field(), Qt::Key_Left);
        QTRY_VERIFY_WITH_TIMEOUT(form().Speed >= 8, 3000);
        QVERIFY(!form().GameOver);
        const QImage driving = grabFrame(QStringLiteral("rendering_driving"));
        CHECKED(checkCar(driving));
        CHECKED(checkNeedle(driving));
        QVERIFY(!needleRedNear(driving, QPointF(restingNeedle.X2, restingNeedle.Y2)));
        QVERIFY(largestDifference(start.copy(startCar), driving.copy(startCar)) > 0);

        // Then off the right-hand edge of the road.
        QTest::keyPress(field(), Qt::Key_Right);
        QTRY_VERIFY_WITH_TIMEOUT(form().GameOver, 3000);
        QTest::keyRelease(field(), Qt::Key_Right);
        QTest::keyRelease(field(), Qt::Key_Up);
        const QImage crash = grabFrame(QStringLiteral("rendering_crash"));

        // The wreck lies where the car was, in the car's stead.
        const Control& wreck = form().imgWreck();
        QVERIFY(wreck.Visible);
        QCOMPARE(wreck.Left, form().picCar().Left);
        QCOMPARE(wreck.Top, form().picCar().Top);
        const QImage& wreckArt = picture(Picture::CarWreck, wreck);
        const Comparison wrecked = opaquePixelsAt(crash, wreckArt, deviceCorner(wreck, dpr_));
        QVERIFY(wrecked.compared > wreckArt.width() * wreckArt.height() / 4);
        QCOMPARE(wrecked.wrong, 0);
        const Comparison carStill = opaquePixelsAt(crash, picture(Picture::Car, form().picCar()),
                                                   deviceCorner(form().picCar(), dpr_));
        QVERIFY(carStill.wrong > 0);
        QVERIFY(largestDifference(start.copy(startCar), crash.copy(startCar)) > 0);

        // The needle is gone from where it last stood, and the dashboard
        // is the cracked one.
        const kestrada::Line& needle = form().linSpeed;
        QVERIFY(!needle.Visible);
        for (int step = 0; step <= 20; ++step) {
            const QPointF point =
                QPointF(needle.X1, needle.Y1) +
                QPointF(needle.X2 - needle.X1, needle.Y2 - needle.Y1) * (step / 20.0);
            QVERIFY2(!needleRedNear(crash, point), qPrintable(QString::number(step)));
        }
        QVERIFY(!form().imgDash().Visible);
        CHECKED(checkDashboard(crash, Picture::DashCracked));
        const QRect dash(deviceCorner(form().imgDash(), dpr_), QSize(107, 477) * dpr_);
        QVERIFY(largestDifference(start.copy(dash), crash.copy(dash)) > 0);
    }
};

int main(int argc, char* argv[]) {
    const bool scaled = qEnvironmentVariableIsSet("QT_SCALE_FACTOR");
    QApplication app(argc, argv);
    RenderingTest test;
    int status = QTest::qExec(&test, argc, argv);
    if (!scaled) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), app.arguments().mid(1));
        const bool ran = child.waitForFinished(100000);
        if (!ran || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
            qWarning("the run at device pixel ratio 2 failed");
            status = status == 0 ? 1 : status;
        }
    }
    return status;
}

#include "rendering_qtest.moc"
