// SPDX-License-Identifier: GPL-3.0-or-later
// The window's start-up order: the first frame needs only the pictures it
// shows; the rest follow it, and the jingle the load asked for then plays.
#include "app/form.h"
#include "app/sound_player.h"
#include "view/frame_painter.h"
#include "view/main_window.h"
#include "view/play_field.h"
#include "view/qt_sound_player.h"
#include "view/qtest_support.h"

#include <QTest>

using namespace kestrada;
using namespace kestrada::view;

namespace {
bool ready(const SpritePictures& pictures, Picture picture, QSize size) {
    return !pictures.image(picture, size).isNull();
}
} // namespace

class StartUpOrderTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void firstFrameComesBeforeTheUnseenPicturesAndTheJinglePlays() {
        testing::ScratchDataDir data;
        QVERIFY(testing::writeWave(data.filePath(QStringLiteral("Start.wav")), 3000));
        MainWindow window(data.fsPath(), 3);
        const auto* jingle = dynamic_cast<QtSoundPlayer*>(window.form().sndStart);
        QVERIFY(jingle != nullptr);
        const SpritePictures& pictures = window.playField().pictures();
        int firstFrames = 0;
        std::vector<bool> readyAtFirst; // the road it shows, a cracked dash it does not
        connect(&window.playField(), &PlayField::firstFramePainted, this, [&] {
            ++firstFrames;
            readyAtFirst = {ready(pictures, Picture::Road, {480, 480}),
                            ready(pictures, Picture::DashCracked, {107, 478})};
        });
        window.show();
        QTRY_COMPARE(readyAtFirst, (std::vector<bool>{true, false}));
        QTRY_VERIFY(ready(pictures, Picture::DashCracked, {107, 478}));
        QVERIFY(ready(pictures, Picture::HogWreck, {28, 42}));
        QTRY_COMPARE(jingle->mode(), kModePlaying);
        const int ticks = window.form().TickCount;
        QTRY_VERIFY(window.form().TickCount >= ticks + 3);
        QCOMPARE(firstFrames, 1);
    }

    void picturesRenderedAgainOnlyForAnotherScreen() {
        Form form;
        SpritePictures pictures(QStringLiteral(KESTRADA_PICTURE_DIR));
        pictures.prepare(1.0, {{Picture::Road, {480, 480}}});
        const qint64 roadKey = pictures.image(Picture::Road, {480, 480}).cacheKey();
        pictures.prepare(1.0, picturesUsedBy(form));
        QCOMPARE(pictures.image(Picture::Road, {480, 480}).cacheKey(), roadKey);
        QCOMPARE(pictures.image(Picture::HogWreck, {28, 42}).size(), QSize(28, 42));
        // Another screen: all rendered again, and only what is asked for.
        pictures.prepare(2.0, {{Picture::Road, {480, 480}}});
        QCOMPARE(pictures.image(Picture::Road, {480, 480}).size(), QSize(960, 960));
        QVERIFY(!ready(pictures, Picture::HogWreck, {28, 42}));
    }
};

QTEST_MAIN(StartUpOrderTest)
#include "start_up_order_qtest.moc"
