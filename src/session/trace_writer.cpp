// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/trace_writer.h"

#include "session/number_format.h"

#include <array>
#include <cerrno>
#include <cstring>

namespace kestrada::session {

namespace {

using enum ControlId;

// The sprites of a record, in the order a reader finds them.
constexpr std::array kTracedSprites = {
    picCar,      imgCar,       imgWreck,   picSplit,    imgSplit,     imgCiv1,    imgCiv1Crash,
    imgCiv2,     imgCiv2Crash, imgHog,     imgHogCrash, imgMs,        imgMl,      imgMr,
    imgMdead,    imgCrater0,   imgCrater1, imgMarker1,  imgMarker2,   imgMarker3, imgMarker4,
    imgMarker5,  imgMarker6,   imgMarker7, imgMissile,  imgMissileGo, imgMine,    imgBoom,
    ShowMissile, ShowMine,     imgDash,    imgCracked,  lblPaused};

void key(std::string& out, std::string_view name) {
    out += '"';
    out += name;
    out += "\":";
}

void intField(std::string& out, std::string_view name, int64_t value) {
    key(out, name);
    appendInt(out, value);
    out += ',';
}

void boolField(std::string& out, std::string_view name, bool value) {
    key(out, name);
    appendBool(out, value);
    out += ',';
}

void stringField(std::string& out, std::string_view name, std::string_view value) {
    key(out, name);
    appendJsonString(out, value);
    out += ',';
}

void sprites(std::string& out, const Form& f) {
    out += "\"sprites\":{";
    for (const ControlId id : kTracedSprites) {
        const Control& c = f.control(id);
        key(out, nameOf(id));
        out += '[';
        appendFloat(out, c.Left);
        out += ',';
        appendFloat(out, c.Top);
        out += ',';
        appendBool(out, c.Visible);
        out += "],";
    }
    out.back() = '}';
    out += ',';
}

void sounds(std::string& out, const std::vector<std::string>& log) {
    out += "\"sound\":[";
    for (const std::string& op : log) {
        appendJsonString(out, op);
        out += ',';
    }
    if (!log.empty()) {
        out.pop_back();
    }
    out += ']';
}

} // namespace

void appendRecord(std::string& out, const Form& f, uint64_t slot, bool ticked,
                  const std::vector<std::string>& log) {
    out += '{';
    intField(out, "slot", static_cast<int64_t>(slot));
    boolField(out, "tick", ticked);
    intField(out, "TickCount", f.TickCount);
    intField(out, "Speed", f.Speed);
    key(out, "Score");
    appendDouble(out, f.Score);
    out += ',';
    intField(out, "RandomRoll", f.RandomRoll);
    boolField(out, "GameOver", f.GameOver);
    boolField(out, "Paused", f.lblPaused().Visible);
    boolField(out, "TimerEnabled", f.tmrMain.Enabled);
    intField(out, "CratersInPlay", f.CratersInPlay);
    intField(out, "CraterIndex", f.CraterIndex);
    intField(out, "MissileInFlight", f.MissileInFlight);
    intField(out, "WeaponChoice", f.WeaponChoice);
    intField(out, "Civ1Speed", f.Civ1Speed);
    intField(out, "Civ2Speed", f.Civ2Speed);
    intField(out, "HogSpeed", f.HogSpeed);
    intField(out, "MotorcycleSpeed", f.MotorcycleSpeed);
    intField(out, "PrevSpeed", f.PrevSpeed);
    boolField(out, "OffRoad", f.OffRoad);
    intField(out, "UpHeld", f.UpHeld);
    intField(out, "DownHeld", f.DownHeld);
    intField(out, "LeftHeld", f.LeftHeld);
    intField(out, "RightHeld", f.RightHeld);
    intField(out, "PrevLeftHeld", f.PrevLeftHeld);
    intField(out, "PrevRightHeld", f.PrevRightHeld);
    intField(out, "Civ1Bumped", f.Civ1Bumped);
    intField(out, "Civ2Bumped", f.Civ2Bumped);
    boolField(out, "MusicPlaying", f.MusicPlaying);
    boolField(out, "MedianWasVisible", f.MedianWasVisible);
    stringField(out, "lblSpeed", f.lblSpeed().Caption);
    stringField(out, "lblScore", f.lblScore().Caption);
    stringField(out, "lblHighScore", f.lblHighScore().Caption);
    stringField(out, "lblInfo8", f.lblInfo(8).Caption);

    key(out, "mnuPause");
    out += '[';
    appendJsonString(out, f.mnuPause.Caption);
    out += ',';
    appendBool(out, f.mnuPause.Enabled);
    out += "],";
    boolField(out, "mnuMusic", f.mnuMusic.Checked);
    boolField(out, "mnuEffects", f.mnuEffects.Checked);

    key(out, "linSpeed");
    out += '[';
    appendFloat(out, f.linSpeed.X2);
    out += ',';
    appendFloat(out, f.linSpeed.Y2);
    out += ',';
    appendBool(out, f.linSpeed.Visible);
    out += "],";

    sprites(out, f);
    sounds(out, log);
    out += "}\n";
}

std::string recordLine(const Form& form, uint64_t slot, bool ticked,
                       const std::vector<std::string>& sounds) {
    std::string out;
    appendRecord(out, form, slot, ticked, sounds);
    while (!out.empty() && out.back() == '\n') {
        out.pop_back();
    }
    return out;
}

TraceWriter::~TraceWriter() {
    close();
}

bool TraceWriter::open(const std::filesystem::path& file, std::string& error) {
    file_ = std::fopen(file.c_str(), "wb");
    if (file_ == nullptr) {
        error = "cannot write " + file.string() + ": " + std::strerror(errno);
        return false;
    }
    buffer_.reserve(kFlushAt + (kFlushAt >> 2));
    return true;
}

void TraceWriter::write(const Form& form, uint64_t slot, bool ticked,
                        const std::vector<std::string>& sounds) {
    appendRecord(buffer_, form, slot, ticked, sounds);
    if (buffer_.size() >= kFlushAt) {
        flush();
    }
}

void TraceWriter::flush() {
    if (file_ != nullptr && !buffer_.empty() &&
        std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
        failed_ = true;
    }
    buffer_.clear();
}

bool TraceWriter::close() {
    if (file_ == nullptr) {
        return !failed_;
    }
    flush();
    if (std::fclose(file_) != 0) {
        failed_ = true;
    }
    file_ = nullptr;
    return !failed_;
}

} // namespace kestrada::session
