// The whole game in its window with every wave file and every picture
// damaged at once: missing, empty, cut short, truncated, garbage, or of the
// wrong kind. It must play on, silent and with plain rectangles, through
// music, a crash, and a new game.
#include "app/form.h"
#include "view/game_menus.h"
#include "view/main_window.h"
#include "view/play_field.h"
#include "view/qtest_support.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <memory>

using kestrada::Form;
using kestrada::view::MainWindow;
using kestrada::view::Picture;
using namespace kestrada::view::testing;

namespace {

enum class Damage { Missing, Empty, CutShort, Truncated, Garbage, WrongKind };

// The program's folder holds the wave files; the pictures sit below it.
QDir builtWaveDir() {
    QDir dir(QStringLiteral(KESTRADA_PICTURE_DIR));
    dir.cdUp();
    return dir;
}

QByteArray garbage(quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(4096, Qt::Uninitialized);
    for (char& b : bytes) {
        b = static_cast<char>(random.bounded(256));
    }
    return bytes;
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool replace(const QString& path, Damage how, const QByteArray& ofOtherKind) {
    const QByteArray original = contentOf(path);
    QFile::remove(path);
    QByteArray bytes;
    switch (how) {
    case Damage::Missing:
        return true;
    case Damage::Empty:
        break;
    case Damage::CutShort: // inside the header
        bytes = original.left(20);
        break;
    case Damage::Truncated: // the header promises more than there is
        bytes = original.left(original.size() / 2);
        break;
    case Damage::Garbage:
        bytes = garbage(static_cast<quint32>(qHash(path)));
        break;
    case Damage::WrongKind:
        bytes = ofOtherKind;
        break;
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A scratch program folder with the built files, every one of them damaged.
std::unique_ptr<ScratchDataDir> damagedDataDir(Damage how) {
    auto data = std::make_unique<ScratchDataDir>();
    const QStringList waves = {QStringLiteral("Start.wav"), QStringLiteral("Crash.wav"),
                               QStringLiteral("Kestrada.wav")};
    for (const QString& name : waves) {
        if (!QFile::copy(builtWaveDir().filePath(name), data->filePath(name))) {
            return nullptr;
        }
    }
    const QDir pictures(data->filePath(QStringLiteral("pictures")));
    const QStringList svgs = pictures.entryList({QStringLiteral("*.svg")}, QDir::Files);
    if (svgs.isEmpty()) {
        return nullptr;
    }
    const QByteArray aWave = contentOf(data->filePath(waves.front()));
    const QByteArray aPicture = contentOf(pictures.filePath(svgs.front()));
    for (const QString& name : waves) {
        if (!replace(data->filePath(name), how, aPicture)) {
            return nullptr;
        }
    }
    for (const QString& name : svgs) {
        if (!replace(pictures.filePath(name), how, aWave)) {
            return nullptr;
        }
    }
    return data;
}

// Painted means more than a blank: the frame has many colours in it.
int distinctColours(const QImage& image) {
    QSet<QRgb> colours;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); y += 3) {
        for (int x = 0; x < argb.width(); x += 3) {
            colours.insert(argb.pixel(x, y));
        }
    }
    return int(colours.size());
}

QRect rectOf(const kestrada::Control& c) {
    return QRect(qRound(c.Left), qRound(c.Top), qRound(c.Width), qRound(c.Height));
}

} // namespace

class BadAssetsTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void gamePlaysOnWithEveryFileDamaged_data() {
        QTest::addColumn<int>("damage");
        QTest::newRow("missing") << int(Damage::Missing);
        QTest::newRow("empty") << int(Damage::Empty);
        QTest::newRow("cut-short") << int(Damage::CutShort);
        QTest::newRow("truncated") << int(Damage::Truncated);
        QTest::newRow("garbage") << int(Damage::Garbage);
        QTest::newRow("wrong-kind") << int(Damage::WrongKind);
    }

    void gamePlaysOnWithEveryFileDamaged() {
        QFETCH(int, damage);
        const auto how = static_cast<Damage>(damage);
        const auto data = damagedDataDir(how);
        QVERIFY2(data, "could not lay out the damaged files (are the assets built?)");
        MainWindow window(data->fsPath(), 11);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QWidget* field = &window.playField();
        const Form& form = window.form();
        const auto action = [&](kestrada::MenuItem Form::*item) {
            return window.menus().action(item);
        };

        // Only a truncated picture may still have something to show.
        if (how != Damage::Truncated) {
            for (int i = 0; i < kestrada::view::kPictureCount; ++i) {
                QVERIFY(!window.playField().pictures().hasArtwork(static_cast<Picture>(i)));
            }
        }

        // The music, asked for at once: effects off, music off and on.
        action(&Form::mnuEffects)->trigger();
        action(&Form::mnuMusic)->trigger();
        action(&Form::mnuMusic)->trigger();
        QVERIFY(form.MusicPlaying);
        action(&Form::mnuEffects)->trigger();

        // Off the right-hand verge: a crash, with its sound.
        QTest::keyPress(field, Qt::Key_Up);
        QTest::keyPress(field, Qt::Key_Right);
        QTRY_VERIFY_WITH_TIMEOUT(form.GameOver, 10000);
        QTest::keyRelease(field, Qt::Key_Right);
        QTest::keyRelease(field, Qt::Key_Up);
        QVERIFY(form.imgWreck().Visible);

        // Enter plays the start jingle again and the road runs on.
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(!form.GameOver);
        QTRY_VERIFY_WITH_TIMEOUT(form.TickCount >= 25, 5000); // a second of play
        QVERIFY(window.isVisible());
        QVERIFY(window.frameTimerActive());

        const QImage frame = field->grab().toImage();
        saveScreenshot(
            frame,
            QStringLiteral("bad-assets-%1.png").arg(QString::fromLatin1(QTest::currentDataTag())));
        QCOMPARE(frame.size(),
                 QSize(kestrada::view::PlayField::kWidth, kestrada::view::PlayField::kHeight));
        QVERIFY(distinctColours(frame) >= 5);
        // The car is where the game has it, drawn as it should be: its
        // picture or, with the file broken, a plain rectangle.
        const QRect car = rectOf(form.picCar().Visible ? form.picCar() : form.imgCar());
        QCOMPARE(largestDifference(frame.copy(car),
                                   expectedCarBox(window.playField().pictures(), car.size(),
                                                  frame.devicePixelRatio())),
                 0);
    }

    // The program itself, pointed at such a folder from its command line.
    void theProgramRunsOnAFolderOfGarbage() {
        const QString program = builtWaveDir().filePath(QStringLiteral("kestrada"));
        if (!QFile::exists(program)) {
            QSKIP("the game program is not built in this tree");
        }
        const auto data = damagedDataDir(Damage::Garbage);
        QVERIFY(data);
        QProcess game;
        game.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        game.setProcessEnvironment(environment);
        game.start(program, {QStringLiteral("--data-dir"), data->path(), QStringLiteral("--seed"),
                             QStringLiteral("5")});
        QVERIFY(game.waitForStarted(5000));
        // Long enough to load every file, play the jingle and run ticks.
        QVERIFY2(!game.waitForFinished(1500), "the program ended by itself");
        QCOMPARE(game.state(), QProcess::Running);
        game.kill();
        game.waitForFinished(5000);
    }
};

QTEST_MAIN(BadAssetsTest)
#include "bad_assets_qtest.moc"
