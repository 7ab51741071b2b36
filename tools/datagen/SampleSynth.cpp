// Drum voices from swept sines and filtered noise; sustained voices as sums of
// harmonic partials whose frequencies are whole numbers of cycles per loop.
#include "SampleSynth.h"

#include "FixedMath.h"
#include "NoiseSource.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace datagen {

namespace {

constexpr int shiftQ30 = 30;
constexpr int64_t oneQ30 = int64_t{1} << shiftQ30;

// Frames for a duration in milliseconds at rate.
uint32_t framesFor(uint32_t milliseconds, uint32_t rate)
{
    return static_cast<uint32_t>(uint64_t{milliseconds} * rate / 1000);
}

// An exponential decay: level drops by 1/timeConstant of itself per frame
// (to about 37 % after timeConstant frames). Level in 2^30 units.
class Decay {
public:
    explicit Decay(uint32_t timeConstantFrames)
        : timeConstant(std::max<uint32_t>(timeConstantFrames, 1))
    {
    }
    int64_t next()
    {
        const int64_t current = level;
        level -= level / timeConstant;
        return current;
    }

private:
    int64_t level = oneQ30;
    int64_t timeConstant;
};

// One-pole low-pass: cutoff roughly rate / (2 pi 2^shift).
class LowPass {
public:
    explicit LowPass(int shift_)
        : shift(shift_)
    {
    }
    int64_t next(int64_t x)
    {
        state += (x - state) / (int64_t{1} << shift);
        return state;
    }

private:
    int shift;
    int64_t state = 0;
};

// Scales to peakLevel and fades the last fadeFrames linearly to zero, so the
// sample ends without a click.
std::vector<int16_t> finish(const std::vector<int64_t>& raw, uint32_t fadeFrames)
{
    int64_t peak = 1;
    for (int64_t v : raw)
        peak = std::max<int64_t>(peak, std::llabs(v));
    std::vector<int16_t> out(raw.size());
    const size_t fadeStart = raw.size() > fadeFrames ? raw.size() - fadeFrames : 0;
    for (size_t i = 0; i < raw.size(); ++i) {
        int64_t v = raw[i] * SampleSynth::peakLevel / peak;
        if (i >= fadeStart && fadeFrames > 0)
            v = v * static_cast<int64_t>(raw.size() - i) / static_cast<int64_t>(raw.size() - fadeStart);
        out[i] = static_cast<int16_t>(v);
    }
    return out;
}

ItSample makeSample(const std::string& name, std::vector<int16_t> frames, uint32_t rate)
{
    ItSample s;
    s.name = name;
    s.fileName = name.substr(0, 8) + ".raw";
    s.frames = std::move(frames);
    s.c5Speed = rate;
    return s;
}

// White noise through `stages` one-pole high-passes.
class HighNoise {
public:
    HighNoise(uint32_t seed, int cutoffShift, int stages)
        : noise(seed)
    {
        for (int i = 0; i < stages; ++i)
            filters.emplace_back(cutoffShift);
    }
    int64_t next()
    {
        int64_t x = noise.nextSample();
        for (LowPass& f : filters)
            x -= f.next(x);
        return x;
    }

private:
    NoiseSource noise;
    std::vector<LowPass> filters;
};

ItSample noiseHit(
    const std::string& name, uint32_t seed, uint32_t lengthMs, uint32_t decayMs, int cutoffShift, int stages)
{
    const uint32_t length = framesFor(lengthMs, SampleSynth::drumRate);
    HighNoise hiss(seed, cutoffShift, stages);
    Decay decay(framesFor(decayMs, SampleSynth::drumRate));
    std::vector<int64_t> raw(length);
    for (uint32_t i = 0; i < length; ++i)
        raw[i] = (hiss.next() * decay.next()) >> shiftQ30;
    return makeSample(name, finish(raw, length / 10), SampleSynth::drumRate);
}

// A partial of a sustained voice: harmonic number and its level at the start
// of the sample and from the loop on (32768 = full).
struct Partial {
    int harmonic;
    int32_t attackLevel;
    int32_t sustainLevel;
};

struct SustainedVoice {
    std::vector<Partial> partials;
    // Copies of all partials: a copy with detune d runs its fundamental at 256 + d
    // cycles per loop instead of 256 (about 6.8 cents sharper per unit), so detuned
    // copies beat slowly against the main one; weight 32768 = full level.
    struct Copy {
        int detune;
        int32_t weight;
    };
    std::vector<Copy> copies;
    uint32_t attackFrames; // partials move from attack to sustain level over this
    uint32_t fadeInFrames; // loudness rises from 0 over this
    uint32_t seed;         // start phases of the partials
};

// Loop runs from attackFrames for loopFrames frames; every partial completes a
// whole number of cycles in it, so the join is seamless.
ItSample sustained(const std::string& name, const SustainedVoice& voice)
{
    const uint32_t cyclesPerLoop = SampleSynth::loopFrames / SampleSynth::periodFrames;
    const uint32_t length = voice.attackFrames + SampleSynth::loopFrames;
    std::vector<int64_t> raw(length, 0);
    NoiseSource phases(voice.seed);
    // How far each partial still is from its sustain level: 32768 at the start,
    // falling quadratically to 0 at the loop start.
    std::vector<int64_t> attack(voice.attackFrames);
    for (uint32_t n = 0; n < voice.attackFrames; ++n) {
        const int64_t remaining = voice.attackFrames - n;
        attack[n] = remaining * remaining * 32768 / (int64_t{voice.attackFrames} * voice.attackFrames);
    }
    for (const Partial& p : voice.partials) {
        for (const SustainedVoice::Copy& copy : voice.copies) {
            const uint32_t cycles
                = static_cast<uint32_t>(p.harmonic) * (cyclesPerLoop + static_cast<uint32_t>(copy.detune));
            const uint32_t startPhase = phases.next() & 0xFFFF;
            for (uint32_t n = 0; n < length; ++n) {
                // Table index: position within the loop times cycles, mod 65536.
                const uint32_t index = (cycles * n + startPhase) & 0xFFFF;
                int64_t level = p.sustainLevel;
                if (n < voice.attackFrames)
                    level += (p.attackLevel - p.sustainLevel) * attack[n] / 32768;
                raw[n] += tableSine(index << 16) * level * copy.weight / 32768;
            }
        }
    }
    for (uint32_t n = 0; n < std::min(voice.fadeInFrames, length); ++n)
        raw[n] = raw[n] * n / voice.fadeInFrames;
    ItSample s = makeSample(name, finish(raw, 0), SampleSynth::pitchedRate);
    s.looped = true;
    s.loopStart = voice.attackFrames;
    s.loopEnd = length;
    return s;
}

// Sawtooth-like partials 1/h, the upper ones quietened by the factor
// b^2 / (b^2 + h^2): b is attackBrightness for the attack levels and
// sustainBrightness for the sustain levels.
std::vector<Partial> sawPartials(int count, int attackBrightness, int sustainBrightness, bool oddOnly)
{
    std::vector<Partial> partials;
    for (int h = 1; h <= count; ++h) {
        if (oddOnly && h % 2 == 0)
            continue;
        const int64_t base = 32768 / h;
        const auto soften = [h](int64_t level, int brightness) {
            const int64_t b2 = int64_t{brightness} * brightness;
            return static_cast<int32_t>(level * b2 / (b2 + int64_t{h} * h));
        };
        partials.push_back({h, soften(base, attackBrightness), soften(base, sustainBrightness)});
    }
    return partials;
}

} // namespace

ItSample SampleSynth::kick()
{
    const uint32_t length = framesFor(500, drumRate);
    Decay pitch(framesFor(28, drumRate));
    Decay body(framesFor(170, drumRate));
    Decay click(framesFor(2, drumRate));
    NoiseSource noise(0x4B1C4B1Cu);
    LowPass clickTone(2);
    std::vector<int64_t> raw(length);
    uint32_t phase = 0;
    for (uint32_t i = 0; i < length; ++i) {
        // 48 Hz settling from 168 Hz.
        const int64_t frequencyMilliHz = 48000 + ((120000 * pitch.next()) >> shiftQ30);
        phase += phaseStep(static_cast<uint64_t>(frequencyMilliHz), drumRate);
        const int64_t tone = (tableSine(phase) * body.next()) >> shiftQ30;
        const int64_t snap = (clickTone.next(noise.nextSample()) * click.next()) >> shiftQ30;
        raw[i] = tone + snap / 2;
    }
    return makeSample("kick", finish(raw, length / 8), drumRate);
}

ItSample SampleSynth::snare()
{
    const uint32_t length = framesFor(360, drumRate);
    const uint32_t burstSpacing = framesFor(11, drumRate);
    Decay tone(framesFor(45, drumRate));
    Decay tail(framesFor(110, drumRate));
    HighNoise hiss(0x5A4E5A4Eu, 2, 1);
    std::vector<int64_t> raw(length);
    uint32_t phase = 0;
    for (uint32_t i = 0; i < length; ++i) {
        // 165 Hz, bent down from 205 Hz as the tone fades.
        const int64_t toneLevel = tone.next();
        const int64_t frequencyMilliHz = 165000 + ((40000 * toneLevel) >> shiftQ30);
        phase += phaseStep(static_cast<uint64_t>(frequencyMilliHz), drumRate);
        const int64_t body = (tableSine(phase) * toneLevel) >> shiftQ30;
        // Three quick bursts before the tail give the hit a clap-like front.
        int64_t burst = 0;
        if (i < 3 * burstSpacing) {
            const int64_t within = i % burstSpacing;
            burst = oneQ30 * (burstSpacing - within) / burstSpacing;
        }
        const int64_t level = std::max<int64_t>(burst, tail.next());
        const int64_t noise = (hiss.next() * level) >> shiftQ30;
        raw[i] = body / 2 + noise;
    }
    return makeSample("snare", finish(raw, length / 8), drumRate);
}

ItSample SampleSynth::closedHat()
{
    return noiseHit("hat closed", 0x4A7C105Eu, 90, 18, 1, 2);
}

ItSample SampleSynth::openHat()
{
    return noiseHit("hat open", 0x4A7013E0u, 450, 120, 1, 2);
}

ItSample SampleSynth::crash()
{
    return noiseHit("crash", 0xC4A5C4A5u, 2400, 650, 1, 1);
}

ItSample SampleSynth::bass()
{
    SustainedVoice voice;
    voice.partials = sawPartials(24, 14, 5, false);
    voice.partials.front().sustainLevel = voice.partials.front().attackLevel; // keep the body
    voice.copies = {{0, 32768}};
    voice.attackFrames = 12288;
    voice.fadeInFrames = 64;
    voice.seed = 0xBA55BA55u;
    return sustained("bass", voice);
}

ItSample SampleSynth::pad()
{
    SustainedVoice voice;
    voice.partials = sawPartials(16, 3, 4, false);
    voice.copies = {{0, 32768}, {-1, 11000}, {1, 11000}, {2, 7000}};
    voice.attackFrames = 16384;
    voice.fadeInFrames = 16384;
    voice.seed = 0xDADADADAu;
    return sustained("pad", voice);
}

ItSample SampleSynth::lead()
{
    SustainedVoice voice;
    voice.partials = sawPartials(21, 16, 7, true);
    voice.copies = {{0, 32768}, {1, 9000}};
    voice.attackFrames = 8192;
    voice.fadeInFrames = 128;
    voice.seed = 0x1EAD1EADu;
    return sustained("lead", voice);
}

} // namespace datagen
