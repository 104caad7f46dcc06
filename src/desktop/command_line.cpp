// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QUrl>
#include <charconv>
#include <filesystem>
#include <string_view>

namespace kestrada::desktop {

namespace {
std::optional<uint32_t> parseSeed(const std::string& text) {
    uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

CommandLine refuse(const QString& why) {
    CommandLine result;
    result.action = CommandLine::Action::Refuse;
    result.text = "kestrada: " + why.toStdString() + " (try --help)";
    return result;
}

std::optional<int> parseZoom(const std::string& text) {
    if (text.size() == 1 && text[0] >= '1' && text[0] <= '4') {
        return text[0] - '0';
    }
    return std::nullopt;
}
} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Drive up a dangerous road, dodge craters and wrecks, and fight the road hog.\n"
        "Keys: arrows drive, Space fires, 1 and 2 choose the weapon, Esc pauses,\n"
        "Enter starts a new game. With --headless the game runs without a window:\n"
        "kestrada --headless --help tells how. kestrada --scores [--data-dir DIR]\n"
        "prints the hall of fame, each entry checked against its recording."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed for the random generator, 0 to 4294967295, "
                                                 "for a repeatable game (default: the time)."),
                                  QStringLiteral("N"));
    const QCommandLineOption dataDir(
        QStringLiteral("data-dir"),
        QStringLiteral("Folder of the high-score file (default: beside the program in a build, "
                       "~/.local/share/kestrada when installed)."),
        QStringLiteral("DIR"));
    const QCommandLineOption zoom(
        QStringLiteral("zoom"),
        QStringLiteral("Draw the play area N times larger, 1 to 4 (default: the zoom last chosen "
                       "with Ctrl+Plus and Ctrl+Minus)."),
        QStringLiteral("N"));
    const QCommandLineOption fullScreen(
        QStringLiteral("fullscreen"),
        QStringLiteral("Start in full screen (F11 toggles it; the last choice is kept)."));
    const QCommandLineOption noSmoothing(
        QStringLiteral("no-smoothing"),
        QStringLiteral("Show the road in the game's own 25 steps a second instead of drawing "
                       "the motion between them at the screen's rate (kept for the next start)."));
    const QCommandLineOption smoothing(
        QStringLiteral("smoothing"),
        QStringLiteral("Draw the motion between the steps again (the default; kept too)."));
    const QCommandLineOption record(
        QStringLiteral("record"),
        QStringLiteral("Write every key, menu command and end of the music to FILE, slot by slot, "
                       "for --replay or --headless --input."),
        QStringLiteral("FILE"));
    const QCommandLineOption replay(
        QStringLiteral("replay"),
        QStringLiteral("Play back a recorded game (Esc holds it, Ctrl+X ends it); "
                       "a high score it reaches is not saved."),
        QStringLiteral("FILE"));
    const QCommandLineOption race(
        QStringLiteral("race"),
        QStringLiteral("Race the last game of a recorded run: its ghost drives beside your game "
                       "on the same road, from the same start."),
        QStringLiteral("FILE"));
    const QCommandLineOption raceName(QStringLiteral("race-name"),
                                      QStringLiteral("Whose run --race races: \"Ada's run\"."),
                                      QStringLiteral("NAME"));
    const QCommandLineOption server(
        QStringLiteral("server"),
        QStringLiteral("Send hall-of-fame runs (the name, the run, and your address as the "
                       "server sees it) to the kestrada-server at URL, and show its tables; "
                       "kept for the next start, \"\" forgets it (default: none)."),
        QStringLiteral("URL"));
    const QCommandLineOption noRaceLeader(
        QStringLiteral("no-race-leader"),
        QStringLiteral("Play today's road alone instead of racing the day's leader (kept for the "
                       "next start)."));
    const QCommandLineOption raceLeader(
        QStringLiteral("race-leader"),
        QStringLiteral("Race the day's leader on today's road again (the default; kept too)."));
    const QCommandLineOption road(
        QStringLiteral("road"),
        QStringLiteral("With --seed, the day's road from the server (Ctrl+D asks for it): the "
                       "first game goes to that day's road table."),
        QStringLiteral("YYYY-MM-DD"));
    parser.addOptions({seed, dataDir, zoom, fullScreen, noSmoothing, smoothing, record, replay,
                       race, raceName, server, road, noRaceLeader, raceLeader});

    const bool understood = parser.parse(arguments);
    CommandLine result;
    // Asking for help is never an error, whatever else was given.
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::ShowHelp;
        result.text = parser.helpText().toStdString();
        return result;
    }
    if (parser.isSet(version)) {
        result.action = CommandLine::Action::ShowVersion;
        result.text = "kestrada " KESTRADA_VERSION "\n";
        return result;
    }
    if (!understood) {
        return refuse(parser.errorText().split(QLatin1Char('\n')).constFirst());
    }
    if (!parser.positionalArguments().isEmpty()) {
        return refuse(QStringLiteral("unexpected argument '%1'")
                          .arg(parser.positionalArguments().constFirst()));
    }
    if (parser.isSet(seed)) {
        result.seed = parseSeed(parser.value(seed).toStdString());
        if (!result.seed) {
            return refuse(QStringLiteral("--seed takes a whole number from 0 to 4294967295, "
                                         "not '%1'")
                              .arg(parser.value(seed)));
        }
    }
    if (parser.isSet(dataDir)) {
        const std::string folder = parser.value(dataDir).toStdString();
        std::error_code ec;
        if (!std::filesystem::is_directory(folder, ec)) {
            return refuse(
                QStringLiteral("--data-dir '%1' is not a folder").arg(parser.value(dataDir)));
        }
        result.dataDir = folder;
    }
    if (parser.isSet(zoom)) {
        result.zoom = parseZoom(parser.value(zoom).toStdString());
        if (!result.zoom) {
            return refuse(
                QStringLiteral("--zoom takes 1, 2, 3 or 4, not '%1'").arg(parser.value(zoom)));
        }
    }
    result.fullScreen = parser.isSet(fullScreen);
    if (parser.isSet(noSmoothing) || parser.isSet(smoothing)) {
        result.smoothing = !parser.isSet(noSmoothing);
    }
    if (parser.isSet(noRaceLeader) || parser.isSet(raceLeader)) {
        result.raceLeader = !parser.isSet(noRaceLeader);
    }
    if (parser.isSet(record)) {
        result.record = parser.value(record).toStdString();
    }
    if (parser.isSet(replay)) {
        result.replay = parser.value(replay).toStdString();
    }
    if (parser.isSet(race)) {
        if (result.replay) {
            return refuse(QStringLiteral("--race and --replay cannot go together"));
        }
        result.race = parser.value(race).toStdString();
    }
    if (parser.isSet(raceName)) {
        result.raceName = parser.value(raceName).toStdString();
    }
    if (parser.isSet(server)) {
        const QString url = parser.value(server);
        if (!url.isEmpty() && !isServerAddress(url)) {
            return refuse(
                QStringLiteral("--server takes an http:// or https:// address, not '%1'").arg(url));
        }
        result.server = url.toStdString();
    }
    if (parser.isSet(road)) {
        static const QRegularExpression day(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
        if (!result.seed || !day.match(parser.value(road)).hasMatch()) {
            return refuse(QStringLiteral("--road takes the day as YYYY-MM-DD, with --seed"));
        }
        result.road = parser.value(road).toStdString();
    }
    return result;
}

bool isServerAddress(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == QStringLiteral("http") || url.scheme() == QStringLiteral("https"));
}

bool asksForHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help" || arg == "-?" || arg == "--help-all" || arg == "-v" ||
            arg == "--version") {
            return true;
        }
    }
    return false;
}

} // namespace kestrada::desktop
