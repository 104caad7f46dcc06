// SPDX-License-Identifier: GPL-3.0-or-later
// The sound players and their mixer, against a hand-moved clock and a
// device that is only these tests' render calls.
#include "sound/clocked_sound_player.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <numeric>
#include <sndfile.h>

using namespace kestrada;
using namespace kestrada::sound;
using namespace std::chrono_literals;

namespace {

class SoundMixerTest : public ::testing::Test {
  protected:
    // A ramp one second long in a wave file: every frame holds a sample of its own.
    void SetUp() override {
        std::iota(sound_.begin(), sound_.end(), std::int16_t{-20000});
        SF_INFO info{0, kOutputRate, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
        SNDFILE* file = sf_open(path_.c_str(), SFM_WRITE, &info);
        ASSERT_NE(file, nullptr);
        sf_writef_short(file, sound_.data(), kOutputRate);
        sf_close(file);
        player_.load(path_);
        player_.setOnEnded([this] { ends_.push_back(player_.mode()); });
    }
    void TearDown() override { std::filesystem::remove(path_); }

    Samples slice(std::int64_t ms) const {
        const auto first = sound_.begin() + ms * kOutputRate / 1000;
        return Samples(first, first + 441);
    }
    // The device hands out `frames` frames now.
    Samples render(std::size_t frames = 441) {
        Samples out(frames);
        mixer_.render(out.data(), frames);
        return out;
    }
    // What the front end does between ticks.
    void deliver() {
        for (const auto& call : std::exchange(posted_, {})) {
            call();
        }
    }

    Samples sound_ = Samples(kOutputRate);
    const std::string path_ =
        (std::filesystem::temp_directory_path() / ("kestrada-mixer-" + std::to_string(::getpid())))
            .string();
    SoundMixer::Time now_{};
    std::vector<std::function<void()>> posted_;
    SoundMixer mixer_{[this](std::function<void()> call) { posted_.push_back(std::move(call)); },
                      [this] { return now_; }};
    ClockedSoundPlayer player_{mixer_};
    std::vector<int> ends_; // the player's mode at each end reported
};

TEST_F(SoundMixerTest, WithoutADeviceAPlayerKeepsItsPlaceByTheClockAndReportsEachEndOnce) {
    // Played, stopped a long while, played again from there.
    player_.play();
    now_ += 150ms;
    player_.stop();
    now_ += 5s;
    player_.play();
    now_ += 100ms;
    EXPECT_EQ(player_.positionMs(), 250);
    player_.setPosition(0);
    // One frame short of the end it plays; at the end it stands stopped,
    // and its end comes when the front end delivers, once.
    now_ += 999ms;
    mixer_.followClock();
    EXPECT_EQ(player_.mode(), kModePlaying);
    EXPECT_TRUE(posted_.empty());
    now_ += 1ms;
    mixer_.followClock();
    EXPECT_TRUE(ends_.empty());
    deliver();
    deliver();
    EXPECT_EQ(ends_, std::vector<int>{kModeStopped});
    // A stop before the end reports none.
    player_.play();
    player_.stop();
    now_ += 2s;
    mixer_.followClock();
    deliver();
    EXPECT_EQ(ends_.size(), 1u);
}

TEST_F(SoundMixerTest, ARunningDeviceMovesTheVoicesAndOnlyAStallOfOverAQuarterSecondSkips) {
    // Voices add up, clipped.
    for (const Samples& other : {Samples{-32000, 32000, 9}, Samples{0, 32000, 0}}) {
        const int voice = mixer_.addVoice();
        mixer_.setSound(voice, std::make_shared<Samples>(other));
        mixer_.play(voice);
    }
    player_.play();
    EXPECT_EQ(render(3), (Samples{-32768, 32767, -19989}));
    EXPECT_EQ(render(438), Samples(sound_.begin() + 3, sound_.begin() + 441));
    // The device stalls a quarter second: the voice goes on where it stood.
    now_ += 250ms;
    EXPECT_EQ(player_.positionMs(), 10);
    testing::internal::CaptureStderr();
    EXPECT_EQ(render(), slice(10));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // Stalls of 400 and 300 ms: skipped, said once.
    testing::internal::CaptureStderr();
    now_ += 400ms;
    EXPECT_EQ(render(), slice(420));
    now_ += 300ms;
    EXPECT_EQ(render(), slice(730));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kestrada: the sound output stalled; skipped what it missed\n");
    // Played on in 10 ms steps to one frame short of its end: its clock has
    // run out, but its end is the last frame handed out.
    for (int step = 0; step < 25; ++step) {
        now_ += 10ms;
        render();
    }
    render(440);
    EXPECT_EQ(player_.mode(), kModePlaying);
    EXPECT_EQ(render(2), (Samples{sound_.back(), 0}));
    EXPECT_EQ(player_.mode(), kModeStopped);
    EXPECT_TRUE(ends_.empty());
    deliver();
    EXPECT_EQ(ends_.size(), 1u);
    // Played again, from the start; the device gives up and the clock moves it on.
    player_.play();
    mixer_.deviceStopped();
    now_ += 100ms;
    EXPECT_EQ(player_.positionMs(), 100);
}

TEST_F(SoundMixerTest, UnplayableFilesStaySilent) {
    for (const std::uintmax_t size : {4000, 20, 0}) {
        std::filesystem::resize_file(path_, size);
        player_.load(path_);
        player_.play();
        EXPECT_EQ(player_.mode(), kModeStopped) << size;
        EXPECT_EQ(render(4410), Samples(4410)) << size;
    }
    now_ += 1s;
    mixer_.followClock();
    deliver();
    EXPECT_EQ(player_.mode(), kModeStopped);
    EXPECT_TRUE(ends_.empty()); // nothing played, so nothing ended
}

} // namespace
