// The window on a screen with two device pixels to a window pixel: the
// frame has twice the pixels each way and every sprite sits at twice its
// coordinates, drawn from pictures rendered sharp for that screen.
#include "app/form.h"
#include "view/main_window.h"
#include "view/play_field.h"
#include "view/qtest_support.h"

#include <QApplication>
#include <QTest>
#include <memory>

using kestrada::view::MainWindow;
using namespace kestrada::view::testing;

class HighDpiTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void frameIsDoubledAndTheCarSitsAtDoubleCoordinates() {
        ScratchDataDir data;
        MainWindow window(data.fsPath(), 11);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QWidget* field = &window.playField();
        QCOMPARE(field->devicePixelRatioF(), 2.0);
        QCOMPARE(window.playField().pictures().devicePixelRatio(), 2.0);

        const QImage atStart = field->grab().toImage();
        saveScreenshot(atStart, QStringLiteral("start_dpr2.png"));
        QCOMPARE(atStart.size(), QSize(1180, 954));

        const kestrada::Form& form = window.form();
        QTest::keyPress(field, Qt::Key_Up);
        QTRY_VERIFY(form.Speed >= 3);
        QTest::keyPress(field, Qt::Key_Left);
        QTRY_VERIFY_WITH_TIMEOUT(form.picCar().Visible, 3000);
        QTest::keyRelease(field, Qt::Key_Left);
        QTest::keyRelease(field, Qt::Key_Up);
        QVERIFY(!form.GameOver);

        const QImage driving = field->grab().toImage();
        saveScreenshot(driving, QStringLiteral("driving_dpr2.png"));
        const kestrada::Control& car = form.picCar();
        const QRect doubled(qRound(car.Left * 2), qRound(car.Top * 2), qRound(car.Width * 2),
                            qRound(car.Height * 2));
        const QImage expected = expectedCarBox(window.playField().pictures(),
                                               QSize(qRound(car.Width), qRound(car.Height)), 2.0);
        QCOMPARE(expected.size(), doubled.size());
        QCOMPARE(largestDifference(driving.copy(doubled), expected), 0);
        QVERIFY(largestDifference(atStart.copy(doubled), driving.copy(doubled)) > 0);
    }
};

int main(int argc, char* argv[]) {
    // Must be in place before the application reads the screens.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    HighDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "high_dpi_qtest.moc"
