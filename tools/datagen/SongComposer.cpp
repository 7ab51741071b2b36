// The arrangement: an A minor loop (Am F | C G) over 15 orders, building up from
// an intro, thinning out for orders 5-6, peaking in 11-13 and ending on one hit.
#include "SongComposer.h"

#include "SampleSynth.h"

#include <array>
#include <utility>

namespace datagen {

namespace {

constexpr int speed = 6;   // ticks per row
constexpr int tempo = 100; // 0.15 s per row: 67.2 s from order 0 to order 14
constexpr int mixVolume = 96;
constexpr int finalOrder = SongComposer::orderCount - 1;
constexpr int accentVolume = 64;

// Sample global volumes (0..64).
constexpr std::array<std::pair<int, int>, 4> sampleLevels = {{{SongComposer::crashSample, 48},
    {SongComposer::bassSample, 36}, {SongComposer::padSample, 44}, {SongComposer::leadSample, 52}}};

// The rows that carry the strongest hits.
constexpr std::array<int, 4> accentRows = {0, 8, 16, 24};

struct Chord {
    int root;                  // bass note
    std::array<int, 3> voices; // pad notes
};

// Notes as the tracker numbers them: 60 = C-5 = middle C.
constexpr Chord aMinor = {45, {57, 60, 64}};
constexpr Chord fMajor = {41, {57, 60, 65}};
constexpr Chord cMajor = {48, {55, 60, 64}};
constexpr Chord gMajor = {43, {55, 59, 62}};

struct MelodyNote {
    int row;
    int note;
};

// One melody for each pair of chords; even orders play Am | F, odd ones C | G.
constexpr std::array<MelodyNote, 12> melodyAF = {{{0, 64}, {4, 62}, {6, 60}, {8, 64}, {12, 69}, {14, 67},
    {16, 65}, {20, 64}, {22, 60}, {24, 57}, {28, 60}, {30, 62}}};
constexpr std::array<MelodyNote, 11> melodyCG = {{{0, 64}, {4, 67}, {6, 64}, {8, 60}, {12, 62}, {14, 64},
    {16, 62}, {20, 59}, {22, 55}, {24, 62}, {28, 59}}};

// What plays in an order.
struct Section {
    bool snare;
    bool ghostKicks; // soft kicks before the accents
    bool busyBass;   // bass between the accents too
    int hatStep;     // rows between hats; 0 for none
    int hatFromRow;
    bool lead;
    int leadTranspose;
    bool crash; // cymbal on row 0
};

Section sectionFor(int order)
{
    if (order == 0)
        return {false, false, false, 2, 16, false, 0, false};
    if (order <= 2)
        return {true, order == 2, true, 2, 0, false, 0, false};
    if (order <= 4)
        return {true, true, true, 2, 0, true, 0, order == 3};
    if (order <= 6) // breakdown: hats on the offbeats only
        return {true, false, false, 4, 2, false, 0, order == 5};
    if (order <= 8)
        return {true, true, true, 2, 0, true, 0, order == 7};
    if (order <= 10)
        return {true, true, true, 2, 0, true, 12, order == 9};
    return {true, true, true, 1, 0, true, 0, order == 11};
}

void put(ItPattern& p, int row, int channel, int note, int sample, int volume)
{
    ItCell& c = p.at(row, channel);
    c.note = note;
    c.sample = sample;
    c.volume = volume;
}

void writeDrums(ItPattern& p, int order, const Section& s)
{
    for (int row : accentRows)
        put(p, row, SongComposer::kickChannel, 60, SongComposer::kickSample, accentVolume);
    if (s.ghostKicks) {
        put(p, 14, SongComposer::kickChannel, 60, SongComposer::kickSample, 24);
        put(p, 30, SongComposer::kickChannel, 60, SongComposer::kickSample, 20);
    }
    if (s.snare) {
        for (int row = 4; row < SongComposer::rowsPerPattern; row += 8) {
            const bool breakdown = !s.busyBass;
            if (!breakdown || row % 16 == 12)
                put(p, row, SongComposer::snareChannel, 60, SongComposer::snareSample, 64);
        }
    }
    if (order == finalOrder - 1) {
        // A short roll into the last hit.
        for (int row = 28; row < 32; ++row)
            put(p, row, SongComposer::snareChannel, 60, SongComposer::snareSample, 28 + 6 * (row - 28));
    }
    if (s.hatStep > 0) {
        for (int row = s.hatFromRow; row < SongComposer::rowsPerPattern; row += s.hatStep) {
            const bool offbeat = row % 4 == 2;
            const bool open = row == 30 && s.ghostKicks;
            put(p, row, SongComposer::hatChannel, 60,
                open ? SongComposer::openHatSample : SongComposer::closedHatSample,
                open ? 26 : (offbeat ? 32 : (row % 2 == 0 ? 22 : 14)));
        }
    }
    if (s.crash)
        put(p, 0, SongComposer::crashChannel, 60, SongComposer::crashSample, 40);
}

void writeHarmony(ItPattern& p, int order, const Section& s)
{
    const bool firstPair = order % 2 == 0;
    for (int half = 0; half < 2; ++half) {
        const Chord& chord = firstPair ? (half == 0 ? aMinor : fMajor) : (half == 0 ? cMajor : gMajor);
        const int base = half * 16;
        for (int v = 0; v < 3; ++v)
            put(p, base, SongComposer::padChannel1 + v, chord.voices[static_cast<size_t>(v)],
                SongComposer::padSample, s.busyBass ? 30 : 36);
        // Bass: the root on the accents, a figure around it in between.
        put(p, base, SongComposer::bassChannel, chord.root, SongComposer::bassSample, accentVolume);
        put(p, base + 8, SongComposer::bassChannel, chord.root, SongComposer::bassSample, accentVolume);
        if (s.busyBass) {
            put(p, base + 3, SongComposer::bassChannel, chord.root + 12, SongComposer::bassSample, 36);
            put(p, base + 6, SongComposer::bassChannel, chord.root, SongComposer::bassSample, 44);
            put(p, base + 11, SongComposer::bassChannel, chord.root + 12, SongComposer::bassSample, 36);
            put(p, base + 14, SongComposer::bassChannel, chord.root + 7, SongComposer::bassSample, 34);
        } else {
            put(p, base + 6, SongComposer::bassChannel, ItCell::noteCut, 0, ItCell::noVolume);
            put(p, base + 14, SongComposer::bassChannel, ItCell::noteCut, 0, ItCell::noVolume);
        }
    }
}

void writeLead(ItPattern& p, int order, const Section& s)
{
    if (!s.lead)
        return;
    const auto place = [&](const auto& melody) {
        for (const MelodyNote& m : melody)
            put(p, m.row, SongComposer::leadChannel, m.note + s.leadTranspose, SongComposer::leadSample, 34);
    };
    if (order % 2 == 0)
        place(melodyAF);
    else
        place(melodyCG);
}

// Order 14: everything on row 0, then the sustained parts fade out while kick
// and bass echo the hit, softer each time, on the other accent rows.
void writeFinalHit(ItPattern& p)
{
    constexpr std::array<int, 4> echoVolumes = {accentVolume, 40, 24, 12};
    put(p, 0, SongComposer::kickChannel, 60, SongComposer::kickSample, accentVolume);
    put(p, 0, SongComposer::crashChannel, 60, SongComposer::crashSample, 56);
    put(p, 0, SongComposer::bassChannel, aMinor.root - 12, SongComposer::bassSample, accentVolume);
    for (int v = 0; v < 3; ++v)
        put(p, 0, SongComposer::padChannel1 + v, aMinor.voices[static_cast<size_t>(v)],
            SongComposer::padSample, 40);
    put(p, 0, SongComposer::leadChannel, 69, SongComposer::leadSample, 34);
    for (int row = 2; row < SongComposer::rowsPerPattern; row += 2) {
        const int remaining = SongComposer::rowsPerPattern - 1 - row;
        const int fade = remaining * 100 / (SongComposer::rowsPerPattern - 3);
        p.at(row, SongComposer::bassChannel).volume = accentVolume * fade / 100;
        for (int v = 0; v < 3; ++v)
            p.at(row, SongComposer::padChannel1 + v).volume = 40 * fade / 100;
        p.at(row, SongComposer::leadChannel).volume = 34 * fade / 100;
    }
    for (size_t i = 1; i < accentRows.size(); ++i) {
        put(p, accentRows[i], SongComposer::kickChannel, 60, SongComposer::kickSample, echoVolumes[i]);
        put(p, accentRows[i], SongComposer::bassChannel, aMinor.root - 12, SongComposer::bassSample,
            echoVolumes[i]);
    }
}

} // namespace

ItModule SongComposer::compose()
{
    ItModule module;
    module.title = "mordel";
    module.initialSpeed = speed;
    module.initialTempo = tempo;
    module.mixVolume = mixVolume;
    module.rowHighlightMinor = 4;
    module.rowHighlightMajor = 16;
    module.channelCount = channelCount;

    module.samples
        = {SampleSynth::kick(), SampleSynth::snare(), SampleSynth::closedHat(), SampleSynth::openHat(),
            SampleSynth::crash(), SampleSynth::bass(), SampleSynth::pad(), SampleSynth::lead()};
    // The balance of the parts: the sustained ones are dense, so they sit lower.
    for (const auto& [number, level] : sampleLevels)
        module.samples[static_cast<size_t>(number - 1)].globalVolume = static_cast<uint8_t>(level);

    for (int order = 0; order < orderCount; ++order) {
        ItPattern pattern(rowsPerPattern, channelCount);
        if (order == finalOrder) {
            writeFinalHit(pattern);
        } else {
            const Section s = sectionFor(order);
            writeDrums(pattern, order, s);
            writeHarmony(pattern, order, s);
            writeLead(pattern, order, s);
        }
        module.patterns.push_back(pattern);
        module.orders.push_back(order);
    }
    return module;
}

} // namespace datagen
