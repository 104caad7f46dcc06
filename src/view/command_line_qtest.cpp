// The window's command line: a seed, a data folder, and one clear line for
// anything else.
#include "view/command_line.h"

#include <QTemporaryDir>
#include <QTest>

using kestrada::view::parseCommandLine;

class CommandLineTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void noArgumentsMeanTheDefaults() {
        const auto options = parseCommandLine({});
        QVERIFY(options.ok());
        QVERIFY(!options.seed);
        QVERIFY(!options.dataDir);
    }

    void seedCoversTheWholeUnsignedRange() {
        QCOMPARE(*parseCommandLine({"--seed", "0"}).seed, 0u);
        QCOMPARE(*parseCommandLine({"--seed", "4294967295"}).seed, 4294967295u);
        for (const char* bad : {"4294967296", "-1", "12abc", "", " 5", "+5", "1e3"}) {
            const auto options = parseCommandLine({"--seed", bad});
            QVERIFY2(!options.ok(), bad);
            QVERIFY(options.error.find('\n') == std::string::npos);
        }
    }

    void dataDirMustBeAFolder() {
        QTemporaryDir dir;
        const std::string path = dir.path().toStdString();
        const auto options = parseCommandLine({"--data-dir", path, "--seed", "9"});
        QVERIFY(options.ok());
        QCOMPARE(*options.dataDir, path);
        QCOMPARE(*options.seed, 9u);
        QVERIFY(!parseCommandLine({"--data-dir", path + "/missing"}).ok());
    }

    void unknownOrIncompleteArgumentsAreRefused() {
        QVERIFY(!parseCommandLine({"--speed", "3"}).ok());
        QVERIFY(!parseCommandLine({"--seed"}).ok());
        QVERIFY(!parseCommandLine({"--data-dir"}).ok());
        QVERIFY(!parseCommandLine({"42"}).ok());
        QVERIFY(parseCommandLine({"--colour"}).error.find("--colour") != std::string::npos);
    }
};

QTEST_APPLESS_MAIN(CommandLineTest)
#include "command_line_qtest.moc"
