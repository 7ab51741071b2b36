// Drums from swept sines, square clusters and filtered noise; sustained voices as
// one-cycle tables of harmonic partials read at whole numbers of cycles per loop.
#include "SampleSynth.h"

#include "FixedMath.h"
#include "NoiseSource.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

namespace datagen {

namespace {

constexpr int shiftQ30 = 30;
constexpr int64_t oneQ30 = int64_t { 1 } << shiftQ30;
constexpr int shiftQ16 = 16;
constexpr uint32_t tableSize = 65536; // entries of one cycle of a sustained voice

// Frames for a duration in milliseconds at rate.
uint32_t framesFor(uint32_t milliseconds, uint32_t rate)
{
    return static_cast<uint32_t>(uint64_t { milliseconds } * rate / 1000);
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
class OnePole {
public:
    explicit OnePole(int shift_)
        : shift(shift_)
    {
    }
    int64_t next(int64_t x)
    {
        state += (x - state) / (int64_t { 1 } << shift);
        return state;
    }

private:
    int shift;
    int64_t state = 0;
};

// Two-pole state-variable filter (low, band and high outputs at once), run twice
// per sample so that it stays stable up to half the Nyquist frequency. The
// coefficient is 2 sin(pi cutoff / (2 rate)) in 2^16 units; damping is 1/Q, same units.
class StateVariable {
public:
    struct Outputs {
        int64_t low;
        int64_t band;
        int64_t high;
    };

    StateVariable(uint32_t cutoffHz, uint32_t rate, int32_t damping)
        : damping(damping)
    {
        tune(cutoffHz, rate);
    }
    void tune(uint32_t cutoffHz, uint32_t rate)
    {
        // sin(pi f / (2 rate)) is the sine of a phase of f / (4 rate) turns.
        const uint32_t phase = static_cast<uint32_t>((uint64_t { cutoffHz } << 30) / rate);
        coefficient = int64_t { sineQ15(phase) } * 4;
    }
    Outputs next(int64_t x)
    {
        int64_t high = 0;
        for (int pass = 0; pass < 2; ++pass) {
            low += (coefficient * band) >> shiftQ16;
            high = x - low - ((damping * band) >> shiftQ16);
            band += (coefficient * high) >> shiftQ16;
        }
        return { low, band, high };
    }

private:
    int64_t damping;
    int64_t coefficient = 0;
    int64_t low = 0;
    int64_t band = 0;
};

// Saturation for values in 2^15 units: a rational tanh that stays odd and smooth,
// flat at +-2^15 from three times that on.
int64_t softClip(int64_t x)
{
    constexpr int64_t one = 32768;
    x = std::clamp(x, -3 * one, 3 * one);
    const int64_t x2 = x * x;
    return x * (27 * one * one + x2) / (27 * one * one + 9 * x2);
}

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

// Six detuned square waves: the metallic core of hats and cymbals (frequencies in Hz).
class SquareCluster {
public:
    explicit SquareCluster(uint32_t rate)
    {
        constexpr std::array<uint32_t, 6> frequencies = { 205, 304, 370, 523, 540, 800 };
        for (size_t i = 0; i < frequencies.size(); ++i)
            steps[i] = phaseStep(uint64_t { frequencies[i] } * 1000 * 8, rate); // three octaves up
    }
    int64_t next()
    {
        int64_t sum = 0;
        for (size_t i = 0; i < steps.size(); ++i) {
            phases[i] += steps[i];
            sum += (phases[i] & 0x80000000u) != 0 ? 5000 : -5000;
        }
        return sum;
    }

private:
    std::array<uint32_t, 6> steps {};
    std::array<uint32_t, 6> phases {};
};

// Hats and cymbal: the square cluster and noise, high-passed, dying away.
ItSample metalHit(const std::string& name, uint32_t seed, uint32_t lengthMs, uint32_t decayMs,
    uint32_t cutoffHz, int32_t noiseShare)
{
    const uint32_t length = framesFor(lengthMs, SampleSynth::drumRate);
    NoiseSource noise(seed);
    SquareCluster metal(SampleSynth::drumRate);
    StateVariable filter(cutoffHz, SampleSynth::drumRate, 90000);
    Decay decay(framesFor(decayMs, SampleSynth::drumRate));
    const uint32_t attack = framesFor(1, SampleSynth::drumRate);
    std::vector<int64_t> raw(length);
    for (uint32_t i = 0; i < length; ++i) {
        const int64_t source = (metal.next() * (100 - noiseShare) + noise.nextSample() * noiseShare) / 100;
        const int64_t level = i < attack ? oneQ30 * i / attack : decay.next();
        raw[i] = (filter.next(source).high * level) >> shiftQ30;
    }
    return makeSample(name, finish(raw, length / 8), SampleSynth::drumRate);
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
    // Copies of the whole tone: a copy with detune d runs its fundamental at 256 + d
    // cycles per loop instead of 256 (about 6.8 cents sharper per unit), so detuned
    // copies beat slowly against the main one; weight 32768 = full level.
    struct Copy {
        int detune;
        int32_t weight;
    };
    std::vector<Copy> copies;
    uint32_t attackFrames; // partials move from attack to sustain level over this
    uint32_t seed;         // start phases of the partials and the copies
};

// One cycle of the voice's partials at the given levels, tableSize entries.
std::vector<int64_t> cycleTable(
    const std::vector<Partial>& partials, const std::vector<uint32_t>& phases, bool attack)
{
    std::vector<int64_t> table(tableSize, 0);
    for (size_t p = 0; p < partials.size(); ++p) {
        const int64_t level = attack ? partials[p].attackLevel : partials[p].sustainLevel;
        const uint32_t h = static_cast<uint32_t>(partials[p].harmonic);
        for (uint32_t i = 0; i < tableSize; ++i)
            table[i] += tableSine(((h * i + phases[p]) & 0xFFFF) << 16) * level;
    }
    return table;
}

// Loop runs from attackFrames for loopFrames frames; every copy completes a whole
// number of cycles in it, so the join is seamless.
ItSample sustained(const std::string& name, const SustainedVoice& voice)
{
    const uint32_t cyclesPerLoop = SampleSynth::loopFrames / SampleSynth::periodFrames;
    const uint32_t length = voice.attackFrames + SampleSynth::loopFrames;
    NoiseSource random(voice.seed);
    std::vector<uint32_t> phases(voice.partials.size());
    for (uint32_t& phase : phases)
        phase = random.next() & 0xFFFF;
    const std::vector<int64_t> attackTable = cycleTable(voice.partials, phases, true);
    const std::vector<int64_t> sustainTable = cycleTable(voice.partials, phases, false);
    std::vector<int64_t> raw(length, 0);
    for (const SustainedVoice::Copy& copy : voice.copies) {
        const uint32_t cycles = cyclesPerLoop + static_cast<uint32_t>(copy.detune);
        const uint32_t offset = random.next() & 0xFFFF;
        for (uint32_t n = 0; n < length; ++n) {
            const uint32_t index = (cycles * n + offset) & 0xFFFF;
            int64_t v = sustainTable[index];
            if (n < voice.attackFrames) {
                // Quadratic glide from the attack timbre to the sustained one.
                const int64_t remaining = voice.attackFrames - n;
                const int64_t a
                    = remaining * remaining * 32768 / (int64_t { voice.attackFrames } * voice.attackFrames);
                v += (attackTable[index] - v) * a / 32768;
            }
            raw[n] += (v >> 15) * copy.weight / 32768;
        }
    }
    // A short fade-in: the first frame starts from zero.
    constexpr uint32_t fadeIn = 64;
    for (uint32_t n = 0; n < fadeIn; ++n)
        raw[n] = raw[n] * n / fadeIn;
    ItSample s = makeSample(name, finish(raw, 0), SampleSynth::pitchedRate);
    s.looped = true;
    s.loopStart = voice.attackFrames;
    s.loopEnd = length;
    return s;
}

// Sawtooth-like partials: odd ones at 1/h, even ones at evenShare percent of that,
// the upper ones quietened by b^2 / (b^2 + h^2), b being attackBrightness for the
// attack levels and sustainBrightness for the sustain levels: a low-pass that closes.
std::vector<Partial> sawPartials(int count, int evenShare, int attackBrightness, int sustainBrightness)
{
    std::vector<Partial> partials;
    for (int h = 1; h <= count; ++h) {
        const int64_t base = 32768 / h * (h % 2 == 0 ? evenShare : 100) / 100;
        const auto soften = [h](int64_t level, int brightness) {
            const int64_t b2 = int64_t { brightness } * brightness;
            return static_cast<int32_t>(level * b2 / (b2 + int64_t { h } * h));
        };
        partials.push_back({ h, soften(base, attackBrightness), soften(base, sustainBrightness) });
    }
    return partials;
}

} // namespace

ItSample SampleSynth::kick()
{
    const uint32_t length = framesFor(520, drumRate);
    Decay sweep(framesFor(10, drumRate));
    Decay snap(framesFor(2, drumRate));
    Decay body(framesFor(230, drumRate));
    Decay click(framesFor(1, drumRate));
    NoiseSource noise(0x4B1C4B1Cu);
    OnePole clickTone(1);
    std::vector<int64_t> raw(length);
    uint32_t phase = 0;
    for (uint32_t i = 0; i < length; ++i) {
        // 42 Hz reached within a few hundredths of a second from about 700 Hz: the
        // weight of the drum sits low and early.
        const int64_t frequencyMilliHz
            = 42000 + ((180000 * sweep.next()) >> shiftQ30) + ((480000 * snap.next()) >> shiftQ30);
        const int64_t tone = (tableSine(phase) * body.next()) >> shiftQ30;
        phase += phaseStep(static_cast<uint64_t>(frequencyMilliHz), drumRate);
        const int64_t tick = (clickTone.next(noise.nextSample()) * click.next()) >> shiftQ30;
        // Driven into the soft clip for a rounder, denser body.
        raw[i] = softClip(tone * 2) + tick / 4;
    }
    return makeSample("kick", finish(raw, length / 8), drumRate);
}

ItSample SampleSynth::snare()
{
    const uint32_t length = framesFor(380, drumRate);
    Decay toneDecay(framesFor(40, drumRate));
    Decay tail(framesFor(100, drumRate));
    NoiseSource noise(0x5A4E5A4Eu);
    StateVariable hiss(1400, drumRate, 80000);
    std::vector<int64_t> raw(length);
    uint32_t low = 0;
    uint32_t high = 0;
    for (uint32_t i = 0; i < length; ++i) {
        const int64_t level = toneDecay.next();
        // 185 Hz bent down from 230 Hz, and a second mode at 330 Hz.
        const int64_t body = ((tableSine(low) + tableSine(high) / 2) * level) >> shiftQ30;
        low += phaseStep(static_cast<uint64_t>(185000 + ((45000 * level) >> shiftQ30)), drumRate);
        high += phaseStep(330000, drumRate);
        const int64_t noiseLevel = i < 40 ? oneQ30 * i / 40 : tail.next();
        const int64_t rattle = (hiss.next(noise.nextSample()).high * noiseLevel) >> shiftQ30;
        raw[i] = softClip((body * 3 / 4 + rattle) * 2);
    }
    return makeSample("snare", finish(raw, length / 8), drumRate);
}

ItSample SampleSynth::clap()
{
    const uint32_t length = framesFor(420, drumRate);
    constexpr std::array<uint32_t, 4> burstsMs = { 0, 9, 18, 28 };
    const uint32_t burstDecay = framesFor(4, drumRate);
    Decay tail(framesFor(120, drumRate));
    NoiseSource noise(0xC1A9C1A9u);
    StateVariable band(1250, drumRate, 50000);
    std::vector<int64_t> raw(length);
    for (uint32_t i = 0; i < length; ++i) {
        // Four quick slaps, then the room.
        int64_t level = 0;
        for (uint32_t start : burstsMs) {
            const uint32_t s = framesFor(start, drumRate);
            if (i >= s) {
                const int64_t since = i - s;
                level = std::max<int64_t>(level, oneQ30 * burstDecay / (burstDecay + 4 * since));
            }
        }
        if (i >= framesFor(burstsMs.back(), drumRate))
            level = std::max<int64_t>(level, tail.next() * 3 / 5);
        if (i < burstDecay / 4)
            level = level * i / (burstDecay / 4); // no click at the very start
        raw[i] = (band.next(noise.nextSample()).band * level) >> shiftQ30;
    }
    return makeSample("clap", finish(raw, length / 8), drumRate);
}

ItSample SampleSynth::closedHat()
{
    return metalHit("hat closed", 0x4A7C105Eu, 110, 22, 7000, 45);
}

ItSample SampleSynth::openHat()
{
    return metalHit("hat open", 0x4A7013E0u, 520, 150, 6500, 45);
}

ItSample SampleSynth::crash()
{
    return metalHit("crash", 0xC4A5C4A5u, 2600, 750, 4200, 70);
}

ItSample SampleSynth::riser()
{
    const uint32_t length = framesFor(4800, riserRate);
    NoiseSource noise(0x7153AB1Eu);
    StateVariable filter(250, riserRate, 30000);
    std::vector<int64_t> raw(length);
    for (uint32_t i = 0; i < length; ++i) {
        // Cutoff and level rise with the square of the elapsed share: slow, then fast.
        const int64_t share2 = int64_t { i } * i * 1024 / (int64_t { length } * length); // 0..1024
        if (i % 32 == 0)
            filter.tune(static_cast<uint32_t>(250 + 6500 * share2 / 1024), riserRate);
        const StateVariable::Outputs o = filter.next(noise.nextSample());
        raw[i] = (o.band + o.high / 4) * (16 + share2) / 1040;
    }
    return makeSample("riser", finish(raw, framesFor(15, riserRate)), riserRate);
}

ItSample SampleSynth::bass()
{
    SustainedVoice voice;
    voice.partials = sawPartials(48, 70, 28, 7);
    // Keep the fundamental full: the body of the bass.
    voice.partials.front().sustainLevel = voice.partials.front().attackLevel;
    voice.copies = { { 0, 32768 } };
    voice.attackFrames = 6144;
    voice.seed = 0xBA55BA55u;
    return sustained("bass", voice);
}

ItSample SampleSynth::pad()
{
    SustainedVoice voice;
    voice.partials = sawPartials(32, 100, 6, 5);
    voice.copies = { { 0, 32768 }, { -1, 26000 }, { 1, 26000 }, { -2, 20000 }, { 2, 20000 }, { -3, 13000 },
        { 3, 13000 } };
    voice.attackFrames = 4096;
    voice.seed = 0xDADADADAu;
    return sustained("pad", voice);
}

ItSample SampleSynth::pluck()
{
    SustainedVoice voice;
    voice.partials = sawPartials(40, 55, 34, 8);
    voice.copies = { { 0, 32768 }, { 1, 14000 } };
    voice.attackFrames = 4096;
    voice.seed = 0x91C591C5u;
    return sustained("pluck", voice);
}

ItSample SampleSynth::lead()
{
    SustainedVoice voice;
    voice.partials = sawPartials(36, 30, 14, 11);
    voice.copies = { { 0, 32768 }, { 2, 15000 }, { -2, 15000 } };
    voice.attackFrames = 2048;
    voice.seed = 0x1EAD1EADu;
    ItSample s = sustained("lead", voice);
    s.vibratoSpeed = 10;
    s.vibratoDepth = 5;
    s.vibratoSweep = 24;
    return s;
}

ItSample SampleSynth::bell()
{
    // Partial frequency over the fundamental (in 1/1000), level (32768 = full) and
    // decay time in milliseconds: the upper, inharmonic modes die first.
    struct Mode {
        uint32_t ratio;
        int32_t level;
        uint32_t decayMs;
    };
    constexpr std::array<Mode, 5> modes = { {
        { 1000, 32768, 900 },
        { 2000, 9000, 600 },
        { 2756, 14000, 380 },
        { 5404, 7000, 180 },
        { 8933, 3500, 80 },
    } };
    const uint32_t length = framesFor(1700, pitchedRate);
    std::vector<int64_t> raw(length, 0);
    for (const Mode& m : modes) {
        // The fundamental advances 2^32 / periodFrames per frame.
        const uint32_t step = static_cast<uint32_t>((uint64_t { 1 } << 32) / periodFrames * m.ratio / 1000);
        Decay decay(framesFor(m.decayMs, pitchedRate));
        uint32_t phase = 0;
        for (uint32_t i = 0; i < length; ++i) {
            raw[i] += ((tableSine(phase) * m.level) >> 15) * decay.next() >> shiftQ30;
            phase += step;
        }
    }
    constexpr uint32_t attack = 96;
    for (uint32_t i = 0; i < attack; ++i)
        raw[i] = raw[i] * i / attack;
    return makeSample("bell", finish(raw, length / 5), pitchedRate);
}

} // namespace datagen
