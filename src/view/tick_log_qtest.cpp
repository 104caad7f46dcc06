// The opt-in tick log that the speed measurements read: one line per tick
// of the frame timer, on the steady clock, with the game's tick count and
// speed as the tick left them; nothing at all unless asked for.
#include "app/form.h"
#include "view/tick_log.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <chrono>

using kestrada::Form;

namespace {
long long steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QList<QByteArray> linesOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll().split('\n');
}
} // namespace

class TickLogTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void cleanup() { qunsetenv("KESTRADA_TICK_LOG"); }

    void oneLinePerTickAfterTheTickRan() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ticks"));
        qputenv("KESTRADA_TICK_LOG", QFile::encodeName(path));
        Form form;
        form.TickCount = 41;
        form.Speed = 7;
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        // The window's tick handler is connected first, as in the program.
        connect(&timer, &QTimer::timeout, this, [&form] { ++form.TickCount; });
        kestrada::view::logTicksIfAsked(timer, form);
        const long long started = steadyNs();
        timer.start(10);
        QTRY_VERIFY(form.TickCount >= 46);
        timer.stop();
        const long long stopped = steadyNs();

        // Each line is on disk as soon as its tick is over.
        const QList<QByteArray> lines = linesOf(path);
        QCOMPARE(lines.size(), form.TickCount - 41 + 1); // and the empty tail
        long long previous = started;
        for (int i = 0; i + 1 < lines.size(); ++i) {
            const QList<QByteArray> fields = lines[i].split(' ');
            QCOMPARE(fields.size(), 3);
            const long long at = fields[0].toLongLong();
            QVERIFY(at > previous);
            QVERIFY(at < stopped);
            QCOMPARE(fields[1].toInt(), 42 + i);
            QCOMPARE(fields[2].toInt(), 7);
            previous = at;
        }
    }

    void nothingUnlessAskedAndNoHarmWhenTheFileCannotBeMade() {
        QTemporaryDir dir;
        Form form;
        QTimer timer;
        kestrada::view::logTicksIfAsked(timer, form);
        qputenv("KESTRADA_TICK_LOG",
                QFile::encodeName(dir.filePath(QStringLiteral("no/such/dir"))));
        kestrada::view::logTicksIfAsked(timer, form);
        int ticks = 0;
        connect(&timer, &QTimer::timeout, this, [&ticks] { ++ticks; });
        timer.start(5);
        QTRY_VERIFY(ticks >= 3);
        QVERIFY(QDir(dir.path()).isEmpty());
    }
};

QTEST_MAIN(TickLogTest)
#include "tick_log_qtest.moc"
