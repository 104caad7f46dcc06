// SPDX-License-Identifier: GPL-3.0-or-later
// The window's command line, and the per-user folder the game computes
// without Qt agreeing with the one Qt gives the window.
#include "desktop/command_line.h"
#include "storage/game_folders.h"

#include <QTest>

using kestrada::desktop::CommandLine;
using Action = CommandLine::Action;

class CommandLineTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // Arguments apart by '|'; a refusal is one line naming what was wrong.
    void optionsAreReadOrRefusedInOneLine() {
        const struct {
            const char* args;
            Action action;
            const char* seed; // "" for none
            const char* saying;
        } cases[] = {
            {"", Action::Play, "", ""},
            {"--seed|0", Action::Play, "0", ""},
            {"--seed=4294967295|--zoom|4|--fullscreen", Action::Play, "4294967295", ""},
            {"--seed|4294967296", Action::Refuse, "", "--seed"},
            {"--seed|12abc", Action::Refuse, "", "--seed"},
            {"--seed=", Action::Refuse, "", "--seed"},
            {"--seed", Action::Refuse, "", "seed"},
            {"--colour", Action::Refuse, "", "colour"},
            {"42", Action::Refuse, "", "42"},
            {"--data-dir|/nowhere/at/all", Action::Refuse, "", "/nowhere/at/all"},
            {"--zoom|0", Action::Refuse, "", "--zoom"},
            {"--zoom|5", Action::Refuse, "", "--zoom"},
            {"--colour|--help", Action::ShowHelp, "", "--data-dir <DIR>"},
            {"-v", Action::ShowVersion, "", "kestrada " KESTRADA_VERSION "\n"},
        };
        for (const auto& c : cases) {
            QStringList args =
                QString::fromLatin1(c.args).split(QLatin1Char('|'), Qt::SkipEmptyParts);
            args.prepend(QStringLiteral("kestrada"));
            const CommandLine options = kestrada::desktop::parseCommandLine(args);
            QVERIFY2(options.action == c.action, c.args);
            QCOMPARE(options.seed ? QString::number(*options.seed) : QString(),
                     QString::fromLatin1(c.seed));
            QVERIFY2(QString::fromStdString(options.text).contains(QString::fromLatin1(c.saying)),
                     options.text.c_str());
            QVERIFY(options.action != Action::Refuse ||
                    options.text.find('\n') == std::string::npos);
        }
    }

    // The install test covers a set XDG_DATA_HOME and none at all. An empty
    // one counts as unset; Qt 6.4 takes a relative one as it is, which would
    // scatter scores by working folder, and the XDG rule ignores it.
    void perUserFolderIgnoresAnEmptyOrRelativeXdgDataHome() {
        const std::string expected = "/home/d/.local/share/kestrada";
        QCOMPARE(kestrada::userDataFolder("", "/home/d").string(), expected);
        QCOMPARE(kestrada::userDataFolder("rel/data", "/home/d").string(), expected);
    }
};

QTEST_APPLESS_MAIN(CommandLineTest)
#include "command_line_qtest.moc"
