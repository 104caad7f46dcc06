// SPDX-License-Identifier: GPL-3.0-or-later
// Synthesises the game's three wave files: the start jingle, the crash effect and the looping
// road music. Standard library only, so the build makes the sounds instead of the repository
// carrying binary audio. The output is identical on every run and platform: the noise comes
// from a fixed-seed generator of our own, never from std::random distributions.
//
// Usage: kestrada_synth OUTPUT_FOLDER
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kPeak = 0.891; // -1 dBFS: loud, never clipped

using Buffer = std::vector<double>;

std::size_t samplesFor(double seconds) {
    return static_cast<std::size_t>(seconds * kRate + 0.5);
}

// ---------------------------------------------------------------------------------------------
// Building blocks

// xorshift32: tiny, fast and the same sequence everywhere.
class Noise {
  public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    double next() { // uniform in [-1, 1)
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

  private:
    std::uint32_t state_;
};

double midiToHz(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

// Short attack and release ramps keep every note free of clicks at its edges.
struct Envelope {
    double attack = 0.005;
    double decay = 0.1;
    double sustain = 0.7;
    double release = 0.03;

    // Level at time t of a note held for `hold` seconds.
    double at(double t, double hold) const {
        auto held = [this](double u) {
            if (u < attack)
                return u / attack;
            return sustain + (1.0 - sustain) * std::exp(-(u - attack) / decay);
        };
        if (t < hold)
            return held(t);
        const double r = (t - hold) / release;
        return r >= 1.0 ? 0.0 : held(hold) * (1.0 - r);
    }
    double length(double hold) const { return hold + release; }
};

// PolyBLEP smooths the jumps of square and saw waves so that high notes do not alias.
double polyBlep(double phase, double step) {
    if (phase < step) {
        const double x = phase / step;
        return x + x - x * x - 1.0;
    }
    if (phase > 1.0 - step) {
        const double x = (phase - 1.0) / step;
        return x * x + x + x + 1.0;
    }
    return 0.0;
}

enum class Wave { Sine, Triangle, Square, Pulse, Saw };

double oscillator(Wave wave, double phase, double step) {
    switch (wave) {
    case Wave::Sine:
        return std::sin(kTwoPi * phase);
    case Wave::Triangle:
        return 1.0 - 4.0 * std::abs(phase - 0.5);
    case Wave::Square:
    case Wave::Pulse: {
        const double width = wave == Wave::Square ? 0.5 : 0.25;
        double v = phase < width ? 1.0 : -1.0;
        v += polyBlep(phase, step);
        v -= polyBlep(std::fmod(phase + 1.0 - width, 1.0), step);
        return v + 1.0 - 2.0 * width; // centred on zero: a narrow pulse would carry DC
    }
    case Wave::Saw:
        return 2.0 * phase - 1.0 - polyBlep(phase, step);
    }
    return 0.0;
}

// A one-pole low-pass filter: enough to take the edge off bright waves.
class LowPass {
  public:
    explicit LowPass(double cutoffHz) { setCutoff(cutoffHz); }
    void setCutoff(double hz) { k_ = 1.0 - std::exp(-kTwoPi * hz / kRate); }
    double operator()(double x) { return state_ += k_ * (x - state_); }

  private:
    double k_ = 1.0;
    double state_ = 0.0;
};

// Adds v at sample i; a looping buffer wraps the tail of late notes round to its start, so the
// loop point is as smooth as any other moment of the music.
void mix(Buffer& out, std::size_t i, double v, bool wrap) {
    if (i < out.size())
        out[i] += v;
    else if (wrap)
        out[i % out.size()] += v;
}

struct Instrument {
    Wave wave = Wave::Square;
    Envelope env;
    double cutoffHz = 8000.0;
    double vibratoDepth = 0.0; // in semitones
    double detune = 0.0;       // a second oscillator this many semitones off thickens the tone
};

void addTone(Buffer& out, const Instrument& in, double start, double hold, double midi, double amp,
             bool wrap) {
    const std::size_t first = samplesFor(start);
    const std::size_t count = samplesFor(in.env.length(hold));
    LowPass filter(in.cutoffHz);
    double phaseA = 0.0;
    double phaseB = 0.3;
    for (std::size_t n = 0; n < count; ++n) {
        const double t = static_cast<double>(n) / kRate;
        const double vibrato = in.vibratoDepth * std::sin(kTwoPi * 5.5 * t) * std::min(1.0, t * 4);
        const double stepA = midiToHz(midi + vibrato) / kRate;
        const double stepB = midiToHz(midi + vibrato + in.detune) / kRate;
        double v = oscillator(in.wave, phaseA, stepA);
        if (in.detune != 0.0)
            v = 0.5 * (v + oscillator(in.wave, phaseB, stepB));
        phaseA = std::fmod(phaseA + stepA, 1.0);
        phaseB = std::fmod(phaseB + stepB, 1.0);
        mix(out, first + n, amp * in.env.at(t, hold) * filter(v), wrap);
    }
}

// ---------------------------------------------------------------------------------------------
// Drums

void addKick(Buffer& out, double start, double amp, bool wrap) {
    double phase = 0.0;
    for (std::size_t n = 0; n < samplesFor(0.3); ++n) {
        const double t = static_cast<double>(n) / kRate;
        phase += (48.0 + 110.0 * std::exp(-t / 0.03)) / kRate;
        const double level = std::min(1.0, t / 0.001) * std::exp(-t / 0.09) * (1.0 - t / 0.3);
        mix(out, samplesFor(start) + n, amp * level * std::sin(kTwoPi * phase), wrap);
    }
}

void addSnare(Buffer& out, Noise& noise, double start, double amp, bool wrap) {
    LowPass body(2500.0);
    for (std::size_t n = 0; n < samplesFor(0.2); ++n) {
        const double t = static_cast<double>(n) / kRate;
        const double hiss = noise.next();
        const double rattle = hiss - 0.6 * body(hiss);
        const double tone = std::sin(kTwoPi * 185.0 * t) * std::exp(-t / 0.04);
        const double level = std::min(1.0, t / 0.001) * (1.0 - t / 0.2);
        mix(out, samplesFor(start) + n,
            amp * level * (0.8 * rattle * std::exp(-t / 0.055) + 0.5 * tone), wrap);
    }
}

// Cymbals: high-passed noise; `decay` sets a closed hat (short) or a crash (long).
void addCymbal(Buffer& out, Noise& noise, double start, double decay, double amp, bool wrap) {
    LowPass low(6000.0);
    const double length = decay * 5.0;
    for (std::size_t n = 0; n < samplesFor(length); ++n) {
        const double t = static_cast<double>(n) / kRate;
        const double hiss = noise.next();
        const double level = std::min(1.0, t / 0.002) * std::exp(-t / decay) * (1.0 - t / length);
        mix(out, samplesFor(start) + n, amp * level * (hiss - low(hiss)), wrap);
    }
}

// ---------------------------------------------------------------------------------------------
// Notes as text: "A4:2" is A in octave 4 held for 2 steps, "r:2" a rest of 2 steps,
// "C#5" and "Bb4" are sharps and flats.

struct Note {
    int step;   // start, in steps from the start of the piece
    int length; // in steps
    int midi;
};

int parsePitch(std::string_view name) {
    static constexpr int kOffsets[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    int pitch = kOffsets[name[0] - 'A'];
    std::size_t i = 1;
    if (name[i] == '#')
        ++pitch, ++i;
    else if (name[i] == 'b')
        --pitch, ++i;
    const int octave = name[i] - '0';
    return 12 * (octave + 1) + pitch;
}

std::vector<Note> parseNotes(const std::vector<std::string>& bars, int stepsPerBar) {
    std::vector<Note> notes;
    for (std::size_t bar = 0; bar < bars.size(); ++bar) {
        std::istringstream tokens(bars[bar]);
        int step = static_cast<int>(bar) * stepsPerBar;
        for (std::string token; tokens >> token;) {
            const std::size_t colon = token.find(':');
            const int length = std::stoi(token.substr(colon + 1));
            if (token[0] != 'r')
                notes.push_back({step, length, parsePitch(token.substr(0, colon))});
            step += length;
        }
        if (step != static_cast<int>(bar + 1) * stepsPerBar) // a miscounted bar breaks the loop
            throw std::invalid_argument("melody bar " + std::to_string(bar + 1) + " is not full");
    }
    return notes;
}

// A drum line: one character per step, 'x' hits, anything else is silence.
std::vector<int> hits(std::string_view pattern, int bar, int stepsPerBar) {
    std::vector<int> steps;
    for (std::size_t i = 0; i < pattern.size(); ++i)
        if (pattern[i] == 'x')
            steps.push_back(bar * stepsPerBar + static_cast<int>(i));
    return steps;
}

// ---------------------------------------------------------------------------------------------
// Finishing

void removeDc(Buffer& b) {
    double sum = 0.0;
    for (double v : b)
        sum += v;
    const double mean = sum / static_cast<double>(b.size());
    for (double& v : b)
        v -= mean;
}

void normalise(Buffer& b) {
    double peak = 0.0;
    for (double v : b)
        peak = std::max(peak, std::abs(v));
    if (peak > 0.0)
        for (double& v : b)
            v *= kPeak / peak;
}

// One-shot sounds start and end on silence.
void fadeEdges(Buffer& b, double inSeconds, double outSeconds) {
    const std::size_t in = samplesFor(inSeconds);
    const std::size_t out = samplesFor(outSeconds);
    for (std::size_t i = 0; i < in && i < b.size(); ++i)
        b[i] *= static_cast<double>(i) / static_cast<double>(in);
    for (std::size_t i = 0; i < out && i < b.size(); ++i)
        b[b.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(out);
}

void putLe(std::ofstream& f, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        f.put(static_cast<char>((value >> (8 * i)) & 0xFFu));
}

// 16-bit PCM, mono.
bool writeWave(const std::filesystem::path& path, const Buffer& b) {
    std::ofstream f(path, std::ios::binary);
    const auto dataBytes = static_cast<std::uint32_t>(b.size() * 2);
    f.write("RIFF", 4);
    putLe(f, 36 + dataBytes, 4);
    f.write("WAVEfmt ", 8);
    putLe(f, 16, 4);        // fmt chunk size
    putLe(f, 1, 2);         // PCM
    putLe(f, 1, 2);         // channels
    putLe(f, kRate, 4);     // sample rate
    putLe(f, kRate * 2, 4); // bytes per second
    putLe(f, 2, 2);         // block align
    putLe(f, 16, 2);        // bits per sample
    f.write("data", 4);
    putLe(f, dataBytes, 4);
    for (double v : b) {
        const double clamped = std::clamp(v, -1.0, 1.0);
        const auto sample = static_cast<std::int16_t>(std::lround(clamped * 32767.0));
        putLe(f, static_cast<std::uint16_t>(sample), 2);
    }
    return static_cast<bool>(f);
}

// ---------------------------------------------------------------------------------------------
// The start jingle: three countdown beeps, then a bright "go" arpeggio landing on A major.

Buffer startJingle() {
    Buffer out(samplesFor(3.0), 0.0);
    Noise noise(0x51A27u);
    const Instrument beep{Wave::Square, {0.004, 0.08, 0.6, 0.04}, 3000.0, 0.0, 0.0};
    const Instrument brass{Wave::Saw, {0.01, 0.3, 0.55, 0.25}, 2600.0, 0.15, 0.08};
    const Instrument bass{Wave::Triangle, {0.005, 0.4, 0.6, 0.2}, 1200.0, 0.0, 0.0};

    for (double t : {0.0, 0.45, 0.9})
        addTone(out, beep, t + 0.02, 0.18, 76, 0.35, false); // E5
    const double go = 1.35;
    const int arpeggio[] = {69, 73, 76, 81}; // A4 C#5 E5 A5
    for (int i = 0; i < 4; ++i)
        addTone(out, beep, go + 0.075 * i, 0.07, arpeggio[i], 0.3, false);
    const double land = go + 0.3;
    for (int midi : {69, 73, 76, 81})
        addTone(out, brass, land, 0.8, midi, 0.22, false);
    addTone(out, beep, land, 0.5, 88, 0.12, false); // E6 sparkle on top
    addTone(out, bass, land, 0.8, 45, 0.5, false);  // A2
    addKick(out, land, 0.8, false);
    addCymbal(out, noise, land, 0.35, 0.25, false);

    removeDc(out);
    fadeEdges(out, 0.002, 0.4);
    normalise(out);
    return out;
}

// ---------------------------------------------------------------------------------------------
// The crash: a burst of noise that darkens as it dies, a low thump, a metallic clang and a few
// tinkles of glass.

Buffer crashEffect() {
    Buffer out(samplesFor(1.0), 0.0);
    Noise noise(0xC4A54u);
    LowPass debris(6000.0);
    double thumpPhase = 0.0;
    for (std::size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / kRate;
        debris.setCutoff(400.0 + 6000.0 * std::exp(-t / 0.12));
        const double burst = debris(noise.next()) * std::exp(-t / 0.22);
        thumpPhase += (32.0 + 90.0 * std::exp(-t / 0.08)) / kRate;
        const double thump = std::sin(kTwoPi * thumpPhase) * std::exp(-t / 0.25);
        double clang = 0.0;
        for (double hz : {523.0, 1187.0, 1731.0, 2467.0})
            clang += std::sin(kTwoPi * hz * t) * std::exp(-t / (0.06 + 120.0 / hz / 1000.0));
        out[n] = 1.1 * burst + 0.9 * thump + 0.12 * clang;
    }
    const Instrument glass{Wave::Sine, {0.001, 0.03, 0.0, 0.02}, 12000.0, 0.0, 0.0};
    for (int i = 0; i < 9; ++i) {
        const double at = 0.12 + 0.5 * (noise.next() * 0.5 + 0.5);
        const double pitch = 100.0 + 8.0 * noise.next();
        addTone(out, glass, at, 0.02, pitch, 0.05, false);
    }
    removeDc(out);
    fadeEdges(out, 0.001, 0.08);
    normalise(out);
    return out;
}

// ---------------------------------------------------------------------------------------------
// The road music: 16 bars at 140 beats a minute in A minor, a sixteenth note per step. It ends
// on the dominant and its last notes wrap round onto the first bar, so it loops seamlessly.

constexpr double kTempo = 140.0;
constexpr int kStepsPerBar = 16;
constexpr double kStepSeconds = 60.0 / kTempo / 4.0;

struct Chord {
    int root;  // bass note, MIDI
    int third; // semitones above the root
};

const std::vector<Chord> kChords = {
    {45, 3}, {41, 4}, {48, 4}, {43, 4}, // Am F C G
    {45, 3}, {41, 4}, {43, 4}, {40, 4}, // Am F G E
    {41, 4}, {43, 4}, {45, 3}, {48, 4}, // F G Am C
    {41, 4}, {43, 4}, {40, 4}, {40, 4}, // F G E E
};

const std::vector<std::string> kMelody = {
    "A4:2 C5:2 E5:2 A5:4 G5:2 E5:2 C5:2",
    "F5:3 E5:1 C5:2 A4:2 C5:4 r:2 A4:2",
    "G4:2 C5:2 E5:2 G5:4 E5:2 G5:2 C6:2",
    "B5:4 A5:2 G5:2 D5:6 r:2",
    "A4:2 C5:2 E5:2 A5:4 G5:2 A5:2 B5:2",
    "C6:4 A5:2 F5:2 A5:2 C6:2 A5:2 F5:2",
    "D6:4 B5:2 G5:2 B5:2 D6:2 B5:2 G5:2",
    "G#5:4 B5:2 E5:2 G#5:6 r:2",
    "A5:2 A5:2 C6:2 A5:2 G5:2 F5:2 E5:2 F5:2",
    "G5:2 G5:2 B5:2 G5:2 F5:2 E5:2 D5:2 E5:2",
    "E5:4 A5:4 C6:4 B5:2 A5:2",
    "G5:6 E5:2 C5:4 E5:4",
    "F5:2 A5:2 C6:2 F6:4 E6:2 C6:2 A5:2",
    "G5:2 B5:2 D6:2 G6:4 F6:2 D6:2 B5:2",
    "E6:4 D6:2 B5:2 G#5:4 E5:4",
    "B4:2 E5:2 G#5:2 B5:2 D6:4 r:4",
};

// Eighth notes of the bass, in semitones above the chord's root: a pumping octave figure.
constexpr int kBassFigure[] = {0, 0, 12, 0, 0, 12, 0, 7};

constexpr std::string_view kKick = "x...x...x...x...";
constexpr std::string_view kSnare = "....x.......x...";
constexpr std::string_view kHat = "x.x.x.x.x.x.x.x.";
constexpr std::string_view kSnareFill = "....x...x.x.xxx."; // last bar: leads back to the top

void addMelody(Buffer& out) {
    const Instrument lead{Wave::Pulse, {0.006, 0.15, 0.6, 0.04}, 3800.0, 0.12, 0.1};
    for (const Note& n : parseNotes(kMelody, kStepsPerBar))
        addTone(out, lead, n.step * kStepSeconds, n.length * kStepSeconds - 0.02, n.midi, 0.3,
                true);
}

void addBassAndArpeggio(Buffer& out) {
    const Instrument bass{Wave::Saw, {0.004, 0.08, 0.7, 0.03}, 700.0, 0.0, 0.0};
    const Instrument arp{Wave::Triangle, {0.003, 0.05, 0.3, 0.03}, 5000.0, 0.0, 0.0};
    for (std::size_t bar = 0; bar < kChords.size(); ++bar) {
        const Chord& c = kChords[bar];
        const double barStart = static_cast<double>(bar) * kStepsPerBar * kStepSeconds;
        for (int i = 0; i < 8; ++i)
            addTone(out, bass, barStart + 2 * i * kStepSeconds, 2 * kStepSeconds - 0.035,
                    c.root + kBassFigure[i], 0.42, true);
        const int tones[] = {c.root + 24, c.root + 24 + c.third, c.root + 31,
                             c.root + 24 + c.third};
        for (int i = 0; i < kStepsPerBar; ++i)
            addTone(out, arp, barStart + i * kStepSeconds, kStepSeconds - 0.03, tones[i % 4], 0.07,
                    true);
    }
}

void addDrums(Buffer& out) {
    Noise noise(0xD2C5u);
    const int bars = static_cast<int>(kChords.size());
    for (int bar = 0; bar < bars; ++bar) {
        const bool last = bar == bars - 1;
        for (int s : hits(kKick, bar, kStepsPerBar))
            addKick(out, s * kStepSeconds, 0.55, true);
        for (int s : hits(last ? kSnareFill : kSnare, bar, kStepsPerBar))
            addSnare(out, noise, s * kStepSeconds, 0.45, true);
        for (int s : hits(kHat, bar, kStepsPerBar)) // off-beats accented
            addCymbal(out, noise, s * kStepSeconds, 0.03, s % 4 == 2 ? 0.35 : 0.2, true);
    }
    addCymbal(out, noise, 8 * kStepsPerBar * kStepSeconds, 0.4, 0.25, true); // second half
}

Buffer roadMusic() {
    Buffer out(samplesFor(static_cast<double>(kChords.size()) * kStepsPerBar * kStepSeconds), 0.0);
    addMelody(out);
    addBassAndArpeggio(out);
    addDrums(out);
    removeDc(out); // a constant shift keeps the loop seamless, unlike a fade or a filter
    normalise(out);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    bool ok = false;
    try {
        ok = writeWave(folder / "Start.wav", startJingle()) &&
             writeWave(folder / "Crash.wav", crashEffect()) &&
             writeWave(folder / "Kestrada.wav", roadMusic());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kestrada_synth: %s\n", e.what());
        return 1;
    }
    if (!ok) {
        std::fprintf(stderr, "kestrada_synth: cannot write the wave files into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
