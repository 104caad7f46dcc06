// The window's command line, and the per-user folder the game computes
// without Qt agreeing with the one Qt gives the window.
#include "app/game_folders.h"
#include "view/command_line.h"

#include <QDir>
#include <QStandardPaths>
#include <QTest>

using kestrada::view::CommandLine;
using kestrada::view::parseCommandLine;
using Action = CommandLine::Action;

namespace {
CommandLine parse(QStringList args) {
    args.prepend(QStringLiteral("kestrada"));
    return parseCommandLine(args);
}
} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void optionsAreReadOrRefusedInOneLine_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("seed");   // empty: none
        QTest::addColumn<QString>("saying"); // part of the text, if any
        const auto row = [](const char* name, QStringList args, Action action, QString seed = {},
                            QString saying = {}) {
            QTest::newRow(name) << args << static_cast<int>(action) << seed << saying;
        };
        row("nothing", {}, Action::Play);
        row("lowest seed", {QStringLiteral("--seed"), QStringLiteral("0")}, Action::Play,
            QStringLiteral("0"));
        row("highest seed", {QStringLiteral("--seed=4294967295")}, Action::Play,
            QStringLiteral("4294967295"));
        for (const char* bad : {"4294967296", "-1", "12abc", "", " 5", "+5", "1e3"}) {
            row(bad, {QStringLiteral("--seed"), QString::fromLatin1(bad)}, Action::Refuse, {},
                QStringLiteral("--seed"));
        }
        row("seed without value", {QStringLiteral("--seed")}, Action::Refuse);
        row("unknown option", {QStringLiteral("--colour")}, Action::Refuse, {},
            QStringLiteral("colour"));
        row("stray argument", {QStringLiteral("42")}, Action::Refuse, {}, QStringLiteral("42"));
        row("missing folder", {QStringLiteral("--data-dir"), QStringLiteral("/nowhere/at/all")},
            Action::Refuse, {}, QStringLiteral("/nowhere/at/all"));
        row("zoom 4", {QStringLiteral("--zoom"), QStringLiteral("4")}, Action::Play);
        for (const char* bad : {"0", "5", "2.5"}) {
            row(bad, {QStringLiteral("--zoom"), QString::fromLatin1(bad)}, Action::Refuse, {},
                QStringLiteral("--zoom"));
        }
        row("help wins", {QStringLiteral("--colour"), QStringLiteral("--help")}, Action::ShowHelp,
            {}, QStringLiteral("--data-dir <DIR>"));
        row("version", {QStringLiteral("-v")}, Action::ShowVersion, {},
            QStringLiteral("kestrada " KESTRADA_VERSION "\n"));
    }
    void optionsAreReadOrRefusedInOneLine() {
        QFETCH(QStringList, args);
        QFETCH(int, action);
        QFETCH(QString, seed);
        QFETCH(QString, saying);
        const CommandLine options = parse(args);
        QCOMPARE(static_cast<int>(options.action), action);
        QCOMPARE(options.seed ? QString::number(*options.seed) : QString(), seed);
        QVERIFY2(QString::fromStdString(options.text).contains(saying), options.text.c_str());
        if (options.action == Action::Refuse) {
            QVERIFY(options.text.find('\n') == std::string::npos);
        }
    }

    void perUserFolderMatchesQtsAppDataLocation_data() {
        QTest::addColumn<QByteArray>("xdgDataHome"); // "unset" leaves it out
        QTest::addColumn<QByteArray>("home");
        QTest::newRow("XDG_DATA_HOME") << QByteArray("/srv/data/") << QByteArray("/home/a");
        QTest::newRow("home only") << QByteArray("unset") << QByteArray("/home/b");
        QTest::newRow("empty XDG_DATA_HOME") << QByteArray("") << QByteArray("/home/c");
        QTest::newRow("no home") << QByteArray("unset") << QByteArray("");
    }
    void perUserFolderMatchesQtsAppDataLocation() {
        QFETCH(QByteArray, xdgDataHome);
        QFETCH(QByteArray, home);
        QCoreApplication::setApplicationName(QStringLiteral("kestrada"));
        if (xdgDataHome == "unset") {
            qunsetenv("XDG_DATA_HOME");
        } else {
            qputenv("XDG_DATA_HOME", xdgDataHome);
        }
        qputenv("HOME", home);
        const QString qt =
            QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        QCOMPARE(QString::fromStdString(kestrada::userDataFolder().string()), qt);
    }

    // Qt 6.4 takes a relative XDG_DATA_HOME as it is, which would scatter
    // scores by working folder; the XDG rule (and later Qt) ignores it.
    void relativeXdgDataHomeIsIgnored() {
        QCOMPARE(kestrada::userDataFolder("rel/data", "/home/d").string(),
                 std::string("/home/d/.local/share/kestrada"));
    }
};

QTEST_APPLESS_MAIN(CommandLineTest)
#include "command_line_qtest.moc"
