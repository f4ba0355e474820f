// The controller's live signals: the monitor words and the curves, as functions of time.
// Everything is deterministic in time (the noise is a hash of channel and time step), so a
// reply can be recomputed and the accessors stay const.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "sim/controller_model.h"

namespace sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMaxWindow = 2.0;  // seconds the maxima look back over

struct Wave {
    double center;
    double amplitude;
    double frequency;  // Hz
    double phase;
    double rawGain;
    double rawOffset;
};

// Sensors 1 and 2 of each channel differ a little, TOP and BOT differ a lot.
constexpr Wave kWaves[4] = {
    {520.0, 260.0, 0.50, 0.0, 3.6, 180.0},  // TOP 1
    {500.0, 240.0, 0.50, 0.6, 3.5, 220.0},  // TOP 2
    {450.0, 300.0, 0.31, 1.9, 3.8, 120.0},  // BOT 1
    {430.0, 280.0, 0.31, 2.4, 3.7, 150.0},  // BOT 2
};

uint64_t mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Noise in [-amplitude, amplitude], constant within one step of the given rate.
double noise(uint64_t stream, double t, double rate, double amplitude) {
    const auto step = static_cast<uint64_t>(t * rate);
    const uint64_t h = mix(mix(stream) ^ step);
    const double unit = static_cast<double>(h >> 11) / 9007199254740992.0;  // [0, 1)
    return (unit * 2.0 - 1.0) * amplitude;
}

// Time as the signals see it: finite, not negative and small enough that every step count
// fits an integer (it wraps after about 31 years).
double saneTime(double now) {
    return std::isfinite(now) && now > 0.0 ? std::fmod(now, 1e9) : 0.0;
}

uint16_t clampWord(double value, double high) {
    return static_cast<uint16_t>(std::lround(std::clamp(value, 0.0, high)));
}

double normalised(int channel, double t) {
    const Wave& w = kWaves[channel];
    const double angle = 2.0 * kPi * w.frequency * t + w.phase;
    const double value = w.center + w.amplitude * std::sin(angle) +
                         0.3 * w.amplitude * std::sin(2.7 * angle) +
                         noise(static_cast<uint64_t>(channel), t, 200.0, 8.0);
    return std::clamp(value, 0.0, 1000.0);
}

}  // namespace

std::vector<uint16_t> ControllerModel::monitorWords(double now) const {
    const double t = saneTime(now);
    std::vector<uint16_t> words(16, 0);
    for (int c = 0; c < 4; ++c) {
        const double norm = normalised(c, t);
        const Wave& w = kWaves[c];
        words[c] = clampWord(w.rawOffset + norm * w.rawGain + noise(10 + c, t, 200.0, 6.0), 4095);
        words[4 + c] = clampWord(norm, 1000);
        // Maxima: the peak over the recent window, sampled at 20 Hz.
        double peak = norm;
        for (double back = 0.05; back <= kMaxWindow && t - back >= 0.0; back += 0.05)
            peak = std::max(peak, normalised(c, t - back));
        words[8 + c] = clampWord(peak, 1000);
    }
    const double topCycles = t * kWaves[0].frequency;
    words[12] = static_cast<uint16_t>(static_cast<uint64_t>(topCycles) & 0xFFFF);  // cntTRUV
    words[13] = static_cast<uint16_t>(static_cast<uint64_t>(t / 2.5) & 0xFFFF);    // in2cnt
    // Inputs: TOP over its reference, BOT over its reference, a slow toggling input.
    const int inputs = (words[4] > refTop() ? 1 : 0) | (words[6] > refBot() ? 2 : 0) |
                       ((static_cast<uint64_t>(t / 4.0) & 1) != 0 ? 4 : 0);
    words[14] = static_cast<uint16_t>(inputs);
    // Index: position along the TOP cycle, 0..128.
    words[15] = static_cast<uint16_t>(
        std::min(128.0, std::floor((topCycles - std::floor(topCycles)) * 129.0)));
    return words;
}

uint16_t ControllerModel::curveWord(int channel, int index, double now) const {
    if (channel < 0 || channel > 1 || index < 0 || index >= kCurveLength) return 0;
    const double t = saneTime(now);
    const double i = static_cast<double>(index);
    const double drift = std::sin(2.0 * kPi * 0.1 * t);
    const double jitter =
        noise(static_cast<uint64_t>(20 + channel * kCurveLength + index), t, 5.0, 3.0);
    if (channel == 0) {
        // TOP: a bell around the reference, its centre drifting slowly.
        const double peak = std::clamp(refTop() + 300.0, 200.0, 1000.0);
        const double base = 60.0;
        const double z = (i - (58.0 + 3.0 * drift)) / 14.0;
        return clampWord(base + (peak - base) * std::exp(-0.5 * z * z) + jitter, 1000);
    }
    // BOT: a smooth step up past the reference that sags towards the end.
    const double high = std::clamp(refBot() + 250.0, 200.0, 1000.0);
    const double low = 120.0;
    const double step = 1.0 / (1.0 + std::exp(-(i - (70.0 + 2.0 * drift)) / 6.0));
    const double sag = i > 100.0 ? (i - 100.0) * 4.0 : 0.0;
    return clampWord(low + (high - low) * step - sag + jitter, 1000);
}

}  // namespace sim
