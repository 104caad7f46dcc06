// SPDX-License-Identifier: GPL-3.0-or-later
// The hall of fame with the world's server beside it: each entry whose name
// is confirmed goes out (the outbox), and the panel has two more views, the
// world's table and today's road, fetched from the server; Tab goes from one
// view to the next. A front end carries the requests this asks for over its
// own network and hands the replies back; nothing here ever waits for one,
// and without a server nothing is sent and the panel is as it always was.
#pragma once

#include "app/form.h"
#include "halloffame/hall_of_fame_panel.h"
#include "scene/hall_of_fame.h"
#include "world/road_leader.h"
#include "world/world_board.h"
#include "world/world_outbox.h"
#include "world/world_request.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrada::session {

class HallOfFameWorld {
  public:
    enum class View { Local, World, Road };

    // server: the address the player gave ("http://host:port"), or empty;
    // naming: the run whose name the panel still asks for, if any.
    HallOfFameWorld(std::filesystem::path folder, std::string server,
                    const std::string& naming = {});

    const std::string& server() const { return server_; }
    // A number no other world of this program had: a reply meant for one
    // since replaced (a new session, a new server) is known by it.
    uint64_t serial() const { return serial_; }
    // The full address of a request.
    std::string url(const WorldRequest& request) const { return server_ + request.target; }

    // The panel kept an entry under a confirmed name.
    void entryNamed(const HallOfFameLine& line);

    // A key for the panel while it is shown: Tab changes the view; in the
    // world's views Up, Down and Enter choose a row; the rest is the
    // panel's. True when the game must not see it.
    bool press(HallOfFamePanel& panel, std::optional<HallOfFamePanel::Key> key,
               std::string_view typed, bool down, bool repeat);
    // A click while the panel is shown: a world row chooses its run; the
    // rest is the panel's.
    HallOfFamePanel::Click click(HallOfFamePanel& panel, const Form& form, double x, double y);
    View view() const { return view_; }
    // A hidden panel, or one whose name field has the keys, shows the
    // local table when it comes.
    void follow(const HallOfFamePanel& panel);

    // What the scene draws: the panel's rows, or the world's.
    scene::HallOfFameView view(const HallOfFamePanel& panel) const;

    // The request due now, if any; never waits. Several may be out at once,
    // one of each kind.
    std::optional<WorldRequest> next(double nowMs);
    void answered(const WorldRequest& request, const WorldReply& reply, double nowMs);

    // The network is back: what waits goes at once.
    void networkBack() { outbox_.tryNow(); }

    // A world row's run, downloaded, to replay; once.
    std::optional<std::string> takeDownloadedRun();

    // Today's road: asks the server for the day's seed. False, with the
    // panel saying why, when there is no server.
    bool askRoad();
    // The day's seed, once it came, and its day; with the leader racing on,
    // only once the day's leader was fetched or given up.
    std::optional<uint32_t> takeRoadSeed();
    // The day's leader, to race, when one was found with the seed; once.
    std::optional<LeaderRun> takeRoadLeader() { return leader_.take(); }
    // On, the day's leader is fetched with the seed (the player's setting).
    void setRaceLeader(bool on) { raceLeader_ = on; }
    const std::string& roadDay() const { return roadDay_; }

    // This session plays the road of this day (YYYY-MM-DD): its first game
    // goes to the road's table, whether it enters the local one or not.
    void setRoad(std::string day) { road_ = std::move(day); }
    // A game of the session has ended, with the session's recording up to
    // its end; call after the panel has kept it.
    void gameEnded(const HallOfFamePanel& panel, const std::string& score,
                   const std::string& recording, const std::string& when);
    // The last word about today's road: "Today's road needs the server."
    const std::string& roadMessage() const { return roadMessage_; }

    const WorldOutbox& outbox() const { return outbox_; }
    const WorldBoard& board() const { return board_; }

  private:
    void openBoard();
    void chooseRow(std::size_t row);
    std::vector<std::string> notes(const HallOfFamePanel& panel) const;

    std::filesystem::path folder_;
    std::string server_;
    uint64_t serial_;
    WorldOutbox outbox_;
    WorldBoard board_;
    View view_ = View::Local;
    std::optional<std::size_t> worldHighlight_;
    std::optional<std::string> wantedRecording_; // a row's run id to download
    bool recordingOut_ = false;
    std::optional<std::string> downloaded_;
    bool roadAsked_ = false;
    bool roadOut_ = false;
    std::optional<uint32_t> roadSeed_;
    bool raceLeader_ = true;
    RoadLeader leader_;
    std::string roadMessage_;
    std::string roadDay_;
    std::string road_;        // this session's road, if it plays one
    bool roadPlayed_ = false; // its first game has ended
    bool roadNaming_ = false; // the panel names that game: it goes once named
    std::string noName_;
};

} // namespace kestrada::session
