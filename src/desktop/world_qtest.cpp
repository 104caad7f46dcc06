// SPDX-License-Identifier: GPL-3.0-or-later
// The window and the world's server, on loopback only: a crashed game named
// by the player is verified by a real kestrada-server and listed in the
// panel's world view; with the server stopped the game plays on and the
// entry waits, then goes out by itself once the server is back; a busy or
// silent server never holds a slot up. The window's frames read a clock the
// test steps by hand; real time passes only for the network's replies.
#include "desktop/frame_pacer.h"
#include "desktop/main_window.h"
#include "desktop/play_field.h"
#include "desktop/qt_world_link.h"
#include "desktop/qtest_support.h"
#include "server_process.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <memory>
#include <string>

using namespace kestrada;
using namespace kestrada::desktop;
using namespace kestrada::desktop::testing;
using session::WorldState;

namespace {

// A socket on loopback that answers every request with one canned reply,
// or accepts and stays silent; it counts the requests it read.
class CannedServer : public QObject {
  public:
    QByteArray reply; // empty: silent
    int requests = 0;

    CannedServer() {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(*socket); });
            }
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }

  private:
    void read(QTcpSocket& socket) {
        QByteArray& seen = seen_[&socket];
        seen += socket.readAll();
        const qsizetype end = seen.indexOf("\r\n\r\n");
        const QRegularExpression length(QStringLiteral("content-length: *(\\d+)"),
                                        QRegularExpression::CaseInsensitiveOption);
        const auto match = length.match(QString::fromLatin1(seen.left(end)));
        const qsizetype body = match.hasMatch() ? match.captured(1).toLongLong() : 0;
        if (end < 0 || seen.size() < end + 4 + body) {
            return;
        }
        seen.clear();
        ++requests;
        if (!reply.isEmpty()) {
            socket.write(reply);
            socket.disconnectFromHost();
        }
    }

    QTcpServer server_;
    std::map<QTcpSocket*, QByteArray> seen_;
};

// kestrada-server on loopback with a SQLite file of its own, on a free port
// or the one given; null when it is not built or does not start.
std::unique_ptr<kestrada::testing::ServerProcess> startServer(const QString& folder, int port = 0) {
#ifdef KESTRADA_SERVER_PROGRAM
    const std::string where = folder.toStdString();
    auto server = std::make_unique<kestrada::testing::ServerProcess>(
        std::vector<std::string>{"--database", "sqlite:" + where + "/world.sqlite", "--workers",
                                 "1", "--listen", "127.0.0.1:" + std::to_string(port)},
        where + "/server.log");
    return server->port() != 0 ? std::move(server) : nullptr;
#else
    (void)folder;
    (void)port;
    return nullptr;
#endif
}

QString urlOf(const kestrada::testing::ServerProcess& server) {
    return QStringLiteral("http://127.0.0.1:%1").arg(server.port());
}

} // namespace

class WorldTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<ScratchDataDir> data_;
    std::unique_ptr<MainWindow> window_;
    double clockMs_ = 0;
    int slotsRun_ = 0;

    MainWindow& w() { return *window_; }
    const Form& form() { return window_->form(); }
    QWidget* field() { return &window_->playField(); }

    void open(const QString& server, uint32_t seed = 7) {
        window_ = std::make_unique<MainWindow>(data_->fsPath(), seed);
        window_->frames().setClock([this] { return clockMs_; });
        window_->setWorldServer(server.toStdString());
        window_->worldLink().setTimeout(1000);
        connect(window_.get(), &MainWindow::slotEnded, this, [this] { ++slotsRun_; });
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        window_->frames().frame();
    }
    // One slot on the stepped clock; the network's replies come in between.
    void slot(int realMs = 0) {
        clockMs_ += 40;
        w().frames().frame();
        if (realMs > 0) {
            QTest::qWait(realMs);
        } else {
            QCoreApplication::processEvents();
        }
    }
    template <class Done> bool slotsUntil(Done done, int limit, int realMs = 0) {
        for (int i = 0; i < limit && !done(); ++i) {
            slot(realMs);
        }
        return done();
    }
    int score() { return std::stoi(form().lblScore().Caption); }
    // Onto the road, up to speed and past a score, then off its right-hand
    // edge.
    void crash(int above = 0) {
        QTest::keyPress(field(), Qt::Key_Up);
        QTest::keyPress(field(), Qt::Key_Left);
        slotsUntil([&] { return form().picCar().Visible; }, 500);
        QTest::keyRelease(field(), Qt::Key_Left);
        slotsUntil([&] { return form().Speed >= 8 && score() > above; }, 3000);
        QTest::keyPress(field(), Qt::Key_Right);
        slotsUntil([&] { return form().GameOver; }, 2000);
        QTest::keyRelease(field(), Qt::Key_Right);
        QTest::keyRelease(field(), Qt::Key_Up);
    }
    // A crash that enters the hall of fame, and the name typed is kept.
    QString crashAndName(const QString& name) {
        crash();
        if (!w().hallOfFame().editing()) {
            return {};
        }
        for (int i = 0; i < 12; ++i) {
            QTest::keyClick(field(), Qt::Key_Backspace);
        }
        // As an input method commits it, not key by key.
        QInputMethodEvent committed;
        committed.setCommitString(name);
        QApplication::sendEvent(field(), &committed);
        QTest::keyClick(field(), Qt::Key_Return);
        return QString::fromStdString(w().hallOfFame().highlightedRun()->filename().string());
    }
    const session::WorldRecord* record(const QString& run) {
        return w().world().outbox().find(run.toStdString());
    }
    bool reaches(const QString& run, WorldState state, int limit) {
        return slotsUntil([&] { return record(run) != nullptr && record(run)->state == state; },
                          limit, 20);
    }

  private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        data_ = std::make_unique<ScratchDataDir>();
        slotsRun_ = 0;
    }
    void cleanup() { window_.reset(); }

    void aNamedCrashIsVerifiedAndListedAndWaitsOutAServerThatIsDown() {
        QTemporaryDir folder;
        auto server = startServer(folder.path());
        if (!server) {
            QSKIP("kestrada-server is not built or does not start");
        }
        open(urlOf(*server));
        const QString first = crashAndName(QStringLiteral("李明"));
        const std::string score = form().lblScore().Caption;
        QVERIFY(reaches(first, WorldState::Verified, 1500));
        QCOMPARE(record(first)->rank, 1);

        // The panel's world view lists it, the player's own row highlighted.
        QTest::keyClick(field(), Qt::Key_Tab);
        QCOMPARE(w().world().view(), session::HallOfFameWorld::View::World);
        QVERIFY(slotsUntil([&] { return !w().world().board().rows().empty(); }, 500, 20));
        const std::string row = w().world().board().rows().front();
        QVERIFY2(row.find("李明") != std::string::npos && row.find(" " + score + " ") != row.npos,
                 row.c_str());
        QCOMPARE(w().world().board().highlighted(), std::optional<std::size_t>(0));
        saveScreenshot(field()->grab().toImage(), QStringLiteral("world-view.png"));

        // The server stops: the next entry waits while the game plays on.
        const int port = server->port();
        server.reset();
        QTest::keyClick(field(), Qt::Key_Tab);
        QTest::keyClick(field(), Qt::Key_Tab);
        QTest::keyClick(field(), Qt::Key_Return); // a new game
        QVERIFY(!form().GameOver);
        const QString second = crashAndName(QStringLiteral("Bo"));
        QVERIFY(reaches(second, WorldState::Resend, 200));
        QVERIFY(w().world().outbox().unreachable());
        saveScreenshot(field()->grab().toImage(), QStringLiteral("world-unreachable.png"));

        // Back on the same port: the entry goes out with no one doing anything.
        server = startServer(folder.path(), port);
        QVERIFY(server);
        QVERIFY(reaches(second, WorldState::Verified, 3000));
    }

    // Closing the window while the name field still asks keeps the entry
    // under the last name given; it reaches the server's board.
    void exitWhileNamingReachesTheBoard() {
        QTemporaryDir folder;
        auto server = startServer(folder.path());
        if (!server) {
            QSKIP("kestrada-server is not built or does not start");
        }
        open(urlOf(*server));
        const QString first = crashAndName(QStringLiteral("Dee"));
        QVERIFY(reaches(first, WorldState::Verified, 1500));
        const int firstScore = score();
        QTest::keyClick(field(), Qt::Key_Return); // a new game
        // Past the first score, so that this run is the name's best.
        crash(firstScore);
        QVERIFY(w().hallOfFame().editing());
        const std::string run = w().hallOfFame().namingRun();
        const std::string best = form().lblScore().Caption;
        QVERIFY(w().close());
        window_.reset();

        open(urlOf(*server));
        QVERIFY(reaches(QString::fromStdString(run), WorldState::Verified, 1500));
        QCOMPARE(record(QString::fromStdString(run))->name, std::string("Dee"));
        QTest::keyClick(field(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClick(field(), Qt::Key_Tab);
        QVERIFY(slotsUntil([&] { return !w().world().board().rows().empty(); }, 500, 20));
        const std::string row = w().world().board().rows().front();
        QVERIFY2(row.find(" Dee ") != std::string::npos && row.find(" " + best + " ") != row.npos,
                 row.c_str());
    }

    // Ctrl+D asks the server for the day's seed and starts a session on it.
    void todaysRoadIsTheServers() {
        QTemporaryDir folder;
        auto server = startServer(folder.path());
        if (!server) {
            QSKIP("kestrada-server is not built or does not start");
        }
        open(urlOf(*server));
        std::optional<std::pair<uint32_t, std::string>> road;
        w().setRoadStarter([&](uint32_t seed, const std::string& day) { road = {seed, day}; });
        QTest::keyClick(field(), Qt::Key_D, Qt::ControlModifier);
        QVERIFY(w().hallOfFame().shown());
        QVERIFY(slotsUntil([&] { return road.has_value(); }, 500, 10));
        QVERIFY(!road->second.empty());
    }

    void aBusyOrSilentServerNeverHoldsASlotUp() {
        CannedServer busy;
        busy.reply = "HTTP/1.1 503 Service Unavailable\r\nRetry-After: 30\r\nContent-Type: "
                     "application/json\r\nContent-Length: 29\r\nConnection: close\r\n\r\n"
                     "{\"error\":\"database is down\"}";
        open(busy.url());
        const QString run = crashAndName(QStringLiteral("Cy"));
        QVERIFY(!run.isEmpty());
        QVERIFY(slotsUntil([&] { return busy.requests == 1 && w().worldLink().requestsOut() == 0; },
                           500, 5));
        QCOMPARE(record(run)->state, WorldState::Resend);
        // Retry-After holds the next try back 30 s on the game's clock.
        const double asked = clockMs_;
        slotsUntil([&] { return clockMs_ - asked >= 29000; }, 1000);
        QTest::qWait(50);
        QCOMPARE(busy.requests, 1);
        busy.reply = "HTTP/1.1 429 Too Many Requests\r\nRetry-After: 60\r\n"
                     "Content-Length: 0\r\nConnection: close\r\n\r\n";
        QVERIFY(slotsUntil([&] { return busy.requests == 2; }, 100, 5));
        QVERIFY(clockMs_ - asked >= 30000);
        QVERIFY(slotsUntil([&] { return w().worldLink().requestsOut() == 0; }, 500, 5));
        QCOMPARE(record(run)->attempts, 2);

        // A server that accepts and says nothing: the request is out while
        // the slots go on, one a frame, and then counts as no answer.
        busy.reply.clear();
        QVERIFY(slotsUntil([&] { return busy.requests == 3; }, 2000, 5));
        QCOMPARE(w().worldLink().requestsOut(), 1);
        QTest::keyClick(field(), Qt::Key_Return); // a new game runs meanwhile
        const int ticks = form().TickCount;
        const int before = slotsRun_;
        for (int i = 0; i < 25; ++i) {
            slot();
        }
        QCOMPARE(slotsRun_, before + 25);
        QCOMPARE(form().TickCount, ticks + 25);
        QCOMPARE(w().worldLink().requestsOut(), 1);
        QVERIFY(slotsUntil([&] { return w().worldLink().requestsOut() == 0; }, 400, 10));
        QCOMPARE(record(run)->state, WorldState::Resend);
        QCOMPARE(record(run)->attempts, 3);
    }
};

QTEST_MAIN(WorldTest)
#include "world_qtest.moc"
