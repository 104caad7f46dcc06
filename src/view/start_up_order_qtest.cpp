// The window's start-up order: the first frame needs only the pictures it
// shows; the rest follow it, and the start jingle that the load asked for
// is playing once it is up.
#include "app/form.h"
#include "app/sound_player.h"
#include "view/frame_painter.h"
#include "view/main_window.h"
#include "view/play_field.h"
#include "view/qt_sound_player.h"
#include "view/qtest_support.h"

#include <QSignalSpy>
#include <QTest>
#include <algorithm>

using kestrada::ControlId;
using kestrada::Form;
using kestrada::kModePlaying;
using kestrada::view::MainWindow;
using kestrada::view::Picture;
using kestrada::view::PictureUse;
using kestrada::view::QtSoundPlayer;
using kestrada::view::SpritePictures;
using namespace kestrada::view::testing;

namespace {
// What the play field had ready when its first paint arrived.
class FirstPaintWitness : public QObject {
  public:
    FirstPaintWitness(MainWindow& window) : window_(window) {
        window.playField().installEventFilter(this);
    }

    bool painted = false;
    bool roadReady = false;
    bool crackedDashReady = true;
    bool medianReady = true;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            const SpritePictures& pictures = window_.playField().pictures();
            roadReady = !pictures.image(Picture::Road, QSize(480, 480)).isNull();
            crackedDashReady = !pictures.image(Picture::DashCracked, QSize(107, 478)).isNull();
            medianReady = !pictures.image(Picture::Median, QSize(81, 1742)).isNull();
        }
        return false;
    }

  private:
    MainWindow& window_;
};

bool contains(const std::vector<PictureUse>& uses, Picture picture) {
    return std::any_of(uses.begin(), uses.end(),
                       [picture](const PictureUse& use) { return use.picture == picture; });
}
} // namespace

class StartUpOrderTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void firstFrameComesBeforeTheUnseenPicturesAndTheJinglePlays() {
        ScratchDataDir data;
        QVERIFY(writeWave(data.filePath(QStringLiteral("Start.wav")), 3000));
        MainWindow window(data.fsPath(), 3);
        auto* jingle = dynamic_cast<QtSoundPlayer*>(window.form().sndStart);
        QVERIFY(jingle != nullptr);
        FirstPaintWitness witness(window);
        QSignalSpy firstFrame(&window.playField(), &kestrada::view::PlayField::firstFramePainted);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(witness.painted);
        QVERIFY(witness.roadReady);
        QVERIFY(!witness.crackedDashReady);
        QVERIFY(!witness.medianReady);

        // Right after it: the rest of the pictures; the start jingle plays.
        const SpritePictures& pictures = window.playField().pictures();
        QTRY_VERIFY(!pictures.image(Picture::DashCracked, QSize(107, 478)).isNull());
        QVERIFY(!pictures.image(Picture::Median, QSize(81, 1742)).isNull());
        QVERIFY(!pictures.image(Picture::HogWreck, QSize(28, 42)).isNull());
        QTRY_COMPARE(jingle->mode(), kModePlaying);

        // Later frames do not start anything again.
        const int ticks = window.form().TickCount;
        QTRY_VERIFY(window.form().TickCount >= ticks + 3);
        QCOMPARE(firstFrame.count(), 1);
    }

    void picturesRenderWhatIsShownFirstAndKeepItForTheRest() {
        Form form;
        for (std::size_t i = 0; i < kestrada::kControlCount; ++i) {
            form.control(static_cast<ControlId>(i)).Visible = false;
        }
        form.imgRoad().Visible = true;
        form.imgHog().Visible = true;
        const auto shown = kestrada::view::picturesShownBy(form);
        QCOMPARE(shown.size(), std::size_t(2));
        QVERIFY(contains(shown, Picture::Road));
        QVERIFY(contains(shown, Picture::Hog));
        QVERIFY(!contains(shown, Picture::HogWreck));

        SpritePictures pictures(QStringLiteral(KESTRADA_PICTURE_DIR));
        pictures.prepare(1.0, shown);
        const QImage& road = pictures.image(Picture::Road, QSize(480, 480));
        QCOMPARE(road.size(), QSize(480, 480));
        const qint64 roadKey = road.cacheKey();
        QVERIFY(pictures.image(Picture::HogWreck, QSize(28, 42)).isNull());

        pictures.prepare(1.0, kestrada::view::picturesUsedBy(form));
        QCOMPARE(pictures.image(Picture::Road, QSize(480, 480)).cacheKey(), roadKey);
        QCOMPARE(pictures.image(Picture::HogWreck, QSize(28, 42)).size(), QSize(28, 42));

        // Another screen: everything is rendered again for it, and only
        // what is asked for.
        pictures.prepare(2.0, shown);
        QCOMPARE(pictures.image(Picture::Road, QSize(480, 480)).size(), QSize(960, 960));
        QVERIFY(pictures.image(Picture::HogWreck, QSize(28, 42)).isNull());
    }
};

QTEST_MAIN(StartUpOrderTest)
#include "start_up_order_qtest.moc"
