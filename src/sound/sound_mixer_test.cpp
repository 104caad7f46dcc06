// SPDX-License-Identifier: GPL-3.0-or-later
// The sound players and the mixer they share, against a hand-moved clock
// and a device that is only these tests' render calls: what the game reads
// of a player, what the device plays, a stalled device, unplayable files.
#include "sound/clocked_sound_player.h"
#include "sound/sound_mixer.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <numeric>
#include <sndfile.h>

using namespace kestrada;
using namespace kestrada::sound;
using namespace std::chrono_literals;

namespace {

// A ramp one second long: every frame holds a sample of its own.
Samples ramp() {
    Samples samples(kOutputRate);
    std::iota(samples.begin(), samples.end(), std::int16_t{-20000});
    return samples;
}

Samples slice(const Samples& sound, std::int64_t ms, std::size_t frames = 441) {
    const auto first = sound.begin() + ms * kOutputRate / 1000;
    return Samples(first, first + static_cast<std::ptrdiff_t>(frames));
}

class SoundMixerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SF_INFO info{0, kOutputRate, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
        SNDFILE* file = sf_open(path_.c_str(), SFM_WRITE, &info);
        ASSERT_NE(file, nullptr);
        sf_writef_short(file, sound_.data(), static_cast<sf_count_t>(sound_.size()));
        sf_close(file);
    }
    void TearDown() override { std::filesystem::remove(path_); }

    // The device hands out `frames` frames now.
    Samples render(std::size_t frames = 441) {
        Samples out(frames);
        mixer_.render(out.data(), frames);
        return out;
    }
    // What the front end does between ticks.
    void deliver() {
        auto calls = std::exchange(posted_, {});
        for (const auto& call : calls) {
            call();
        }
    }

    const Samples sound_ = ramp();
    const std::string path_ = (std::filesystem::temp_directory_path() /
                               ("kestrada-mixer-" + std::to_string(::getpid()) + ".wav"))
                                  .string();
    SoundMixer::Time now_{};
    std::vector<std::function<void()>> posted_;
    SoundMixer mixer_{[this](std::function<void()> call) { posted_.push_back(std::move(call)); },
                      [this] { return now_; }};
};

TEST_F(SoundMixerTest, WithoutADeviceAPlayerKeepsItsPlaceByTheClockAndReportsEachEndOnce) {
    ClockedSoundPlayer player(mixer_);
    std::vector<int> modesAtEnd;
    player.setOnEnded([&] { modesAtEnd.push_back(player.mode()); });
    player.load(path_);
    // Played, stopped a long while, played again from there.
    player.play();
    EXPECT_EQ(player.mode(), kModePlaying);
    now_ += 150ms;
    player.stop();
    EXPECT_EQ(player.mode(), kModeStopped);
    now_ += 5s;
    EXPECT_EQ(player.positionMs(), 150);
    player.play();
    now_ += 100ms;
    EXPECT_EQ(player.positionMs(), 250);
    player.setPosition(0);
    // One frame short of the end it plays; at the end it stands stopped,
    // and its end comes when the front end delivers, once.
    now_ += 999ms;
    mixer_.followClock();
    EXPECT_EQ(player.mode(), kModePlaying);
    EXPECT_TRUE(posted_.empty());
    now_ += 1ms;
    EXPECT_EQ(player.mode(), kModeStopped);
    mixer_.followClock();
    EXPECT_TRUE(modesAtEnd.empty());
    deliver();
    deliver();
    EXPECT_EQ(modesAtEnd, std::vector<int>{kModeStopped});
    // Played again after its end: from the start. A stop before the end reports none.
    player.play();
    EXPECT_EQ(player.positionMs(), 0);
    player.stop();
    now_ += 2s;
    mixer_.followClock();
    deliver();
    EXPECT_EQ(modesAtEnd.size(), 1u);
}

TEST_F(SoundMixerTest, VoicesAddUpAndClip) {
    mixer_.setSound(mixer_.addVoice(), std::make_shared<Samples>(Samples{20000, -20000, 1000, 7}));
    mixer_.setSound(mixer_.addVoice(), std::make_shared<Samples>(Samples{20000, -20000, 1}));
    mixer_.play(0);
    mixer_.play(1);
    EXPECT_EQ(render(5), (Samples{32767, -32768, 1001, 7, 0}));
}

TEST_F(SoundMixerTest, ARunningDeviceMovesTheVoiceAndAShortStallMakesItLateNotShorter) {
    ClockedSoundPlayer player(mixer_);
    int ends = 0;
    player.setOnEnded([&] { ++ends; });
    player.load(path_);
    render(); // the device runs, silent
    player.play();
    EXPECT_EQ(render(), slice(sound_, 0));
    // The device stalls 200 ms: the voice goes on where it stood.
    now_ += 200ms;
    EXPECT_EQ(player.positionMs(), 10);
    testing::internal::CaptureStderr();
    EXPECT_EQ(render(), slice(sound_, 10));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // Played on in 10 ms steps to one frame short of its end: its clock has
    // run out, but its end is the last frame handed out.
    for (int step = 0; step < 97; ++step) {
        now_ += 10ms;
        render();
    }
    render(440);
    EXPECT_EQ(player.mode(), kModePlaying);
    deliver();
    EXPECT_EQ(ends, 0);
    EXPECT_EQ(render(2), (Samples{sound_.back(), 0}));
    EXPECT_EQ(player.mode(), kModeStopped);
    EXPECT_EQ(ends, 0);
    deliver();
    EXPECT_EQ(ends, 1);
}

TEST_F(SoundMixerTest, AStallOfMoreThanAQuarterSecondSkipsOnceAndSaysSoOnce) {
    ClockedSoundPlayer player(mixer_);
    player.load(path_);
    render();
    player.play();
    EXPECT_EQ(render(), slice(sound_, 0));
    testing::internal::CaptureStderr();
    // 10 ms in, the device stalls 400 ms: the voice skips them, once.
    now_ += 400ms;
    EXPECT_EQ(render(), slice(sound_, 410));
    now_ += 10ms;
    EXPECT_EQ(render(), slice(sound_, 420));
    now_ += 300ms;
    EXPECT_EQ(render(), slice(sound_, 730));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kestrada: the sound output stalled; skipped what it missed\n");
    // The device gives up: the clock moves the voice on from where it was.
    mixer_.deviceStopped();
    now_ += 100ms;
    EXPECT_EQ(player.positionMs(), 840);
}

TEST_F(SoundMixerTest, UnplayableFilesStaySilent) {
    ClockedSoundPlayer player(mixer_);
    bool ended = false;
    player.setOnEnded([&ended] { ended = true; });
    for (const std::uintmax_t size : {4000, 20, 0}) {
        std::filesystem::resize_file(path_, size);
        player.load(path_);
        player.play();
        EXPECT_EQ(player.mode(), kModeStopped) << size;
        EXPECT_EQ(render(4410), Samples(4410)) << size;
    }
    player.load(path_ + ".missing");
    player.play();
    EXPECT_EQ(player.mode(), kModeStopped);
    now_ += 1s;
    mixer_.followClock();
    deliver();
    EXPECT_FALSE(ended); // nothing played, so nothing ended
}

} // namespace
