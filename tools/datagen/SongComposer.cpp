// The arrangement, in A minor at 100 beats a minute, four rows a beat, two bars an
// order. Its sections follow the scene cuts:
//   orders 0-4   opening: Am7 | Fmaj7; kick, bass and pad, then hats, pluck, snare,
//                and from order 3 the lead's first phrase
//   orders 5-6   breakdown: Dm9 Em7 Fmaj7 G; half-time snare, offbeat open hats, bells
//   orders 7-8   lift: C G F E; claps, a brighter phrase, a riser and a snare roll
//   orders 9-10  drop: Am G F E; rolling sixteenth bass and the main theme
//   orders 11-13 climax: F G Em Am with the theme in thirds, then Dm E while the
//                parts drop out one after another
//   order 14     the final hit on A minor, echoed by kick and bass
#include "SongComposer.h"

#include "SampleSynth.h"

#include <array>
#include <cstddef>
#include <vector>

namespace datagen {

namespace {

using Song = SongComposer;

constexpr int speed = 6;   // ticks per row
constexpr int tempo = 100; // beats a minute at four rows a beat: 0.15 s per row
constexpr int rows = Song::rowsPerPattern;
constexpr int totalRows = Song::orderCount * rows;
constexpr int finalOrder = Song::orderCount - 1;
constexpr int accent = 64; // volume of the kick and bass accents

enum class Section { opening, breakdown, lift, drop, climax, ending, finalHit };

Section sectionOf(int order)
{
    if (order <= 4)
        return Section::opening;
    if (order <= 6)
        return Section::breakdown;
    if (order <= 8)
        return Section::lift;
    if (order <= 10)
        return Section::drop;
    if (order <= 12)
        return Section::climax;
    return order < finalOrder ? Section::ending : Section::finalHit;
}

// Notes as the tracker numbers them: 60 = C-5 = middle C, 69 = A-5 = 440 Hz.
struct Chord {
    int bass;               // 82 Hz and up, so the bass stays out of the kick's band
    std::array<int, 4> pad; // close voicing around A-4
};

constexpr Chord aMinor7 = { 45, { 57, 60, 64, 67 } };
constexpr Chord fMajor7 = { 41, { 57, 60, 64, 65 } };
constexpr Chord gMajor = { 43, { 55, 59, 62, 67 } };
constexpr Chord dMinor9 = { 50, { 57, 60, 64, 65 } };
constexpr Chord eMinor7 = { 40, { 55, 59, 62, 64 } };
constexpr Chord cMajor = { 48, { 55, 60, 64, 67 } };
constexpr Chord fMajor = { 41, { 57, 60, 65, 69 } };
constexpr Chord eMajor = { 40, { 56, 59, 64, 68 } };
constexpr Chord aMinor = { 45, { 57, 60, 64, 69 } };
constexpr Chord gHigh = { 43, { 59, 62, 67, 71 } };
constexpr Chord eMinorHigh = { 40, { 59, 64, 67, 71 } };
constexpr Chord dMinor = { 50, { 57, 62, 65, 69 } };

// One chord a bar, two bars an order.
constexpr std::array<Chord, 2 * Song::orderCount> chords = { {
    aMinor7, fMajor7, aMinor7, fMajor7, aMinor7, fMajor7, aMinor7, fMajor7, aMinor7, gMajor, // 0-4
    dMinor9, eMinor7, fMajor7, gMajor,                                                       // 5-6
    cMajor, gMajor, fMajor, eMajor,                                                          // 7-8
    aMinor, gMajor, fMajor, eMajor,                                                          // 9-10
    fMajor, gHigh, eMinorHigh, aMinor,                                                       // 11-12
    dMinor, eMajor,                                                                          // 13
    aMinor, aMinor,                                                                          // 14
} };

const Chord& chordAt(int order, int row)
{
    return chords[static_cast<size_t>(2 * order + row / 16)];
}

// A note of a phrase: start row within the order, note and length in rows.
struct Step {
    int row;
    int note;
    int length;
};
using Phrase = std::vector<Step>;

// The lead, order by order; the 3-3-2 rhythm of the rows 0, 3, 6 is its hook.
const std::array<Phrase, Song::orderCount>& leadPhrases()
{
    static const std::array<Phrase, Song::orderCount> phrases = { {
        {},
        {},
        {},
        { { 0, 69, 3 }, { 3, 72, 3 }, { 6, 76, 2 }, { 8, 74, 4 }, { 12, 72, 2 }, { 14, 71, 2 }, { 16, 72, 6 },
            { 22, 69, 2 }, { 24, 67, 4 }, { 28, 69, 4 } },
        { { 0, 69, 3 }, { 3, 72, 3 }, { 6, 76, 2 }, { 8, 79, 4 }, { 12, 76, 2 }, { 14, 74, 2 }, { 16, 74, 6 },
            { 22, 71, 2 }, { 24, 67, 3 }, { 27, 71, 3 }, { 30, 74, 2 } },
        {},
        {},
        { { 0, 76, 3 }, { 3, 79, 3 }, { 6, 76, 2 }, { 8, 74, 4 }, { 12, 72, 4 }, { 16, 71, 3 }, { 19, 74, 3 },
            { 22, 79, 2 }, { 24, 74, 8 } },
        { { 0, 72, 3 }, { 3, 77, 3 }, { 6, 81, 2 }, { 8, 79, 4 }, { 12, 77, 4 }, { 16, 76, 6 }, { 22, 74, 2 },
            { 24, 71, 8 } },
        { { 0, 76, 3 }, { 3, 76, 3 }, { 6, 74, 2 }, { 8, 72, 3 }, { 11, 74, 3 }, { 14, 76, 2 }, { 16, 74, 3 },
            { 19, 71, 3 }, { 22, 67, 2 }, { 24, 71, 4 }, { 28, 74, 4 } },
        { { 0, 72, 3 }, { 3, 72, 3 }, { 6, 69, 2 }, { 8, 72, 3 }, { 11, 77, 3 }, { 14, 76, 2 }, { 16, 76, 6 },
            { 22, 74, 2 }, { 24, 71, 3 }, { 27, 68, 3 }, { 30, 71, 2 } },
        { { 0, 81, 3 }, { 3, 81, 3 }, { 6, 77, 2 }, { 8, 72, 3 }, { 11, 77, 3 }, { 14, 81, 2 }, { 16, 79, 3 },
            { 19, 79, 3 }, { 22, 74, 2 }, { 24, 71, 3 }, { 27, 74, 3 }, { 30, 79, 2 } },
        { { 0, 79, 3 }, { 3, 79, 3 }, { 6, 76, 2 }, { 8, 71, 3 }, { 11, 76, 3 }, { 14, 79, 2 }, { 16, 81, 8 },
            { 24, 76, 4 }, { 28, 72, 4 } },
        { { 0, 77, 6 }, { 6, 76, 2 }, { 8, 74, 8 } },
        { { 0, 69, 12 } },
    } };
    return phrases;
}

// The bells' counter-melody over the breakdown (orders 5 and 6).
const std::array<Phrase, 2>& bellPhrases()
{
    static const std::array<Phrase, 2> phrases = { {
        { { 0, 69, 0 }, { 3, 76, 0 }, { 6, 77, 0 }, { 10, 74, 0 }, { 14, 72, 0 }, { 16, 71, 0 },
            { 19, 79, 0 }, { 22, 76, 0 }, { 26, 74, 0 }, { 30, 71, 0 } },
        { { 0, 72, 0 }, { 3, 81, 0 }, { 6, 79, 0 }, { 10, 76, 0 }, { 14, 72, 0 }, { 16, 74, 0 },
            { 19, 83, 0 }, { 22, 79, 0 }, { 26, 74, 0 }, { 30, 71, 0 } },
    } };
    return phrases;
}

// The note a diatonic third below in A natural minor (G sharp counts as G).
int thirdBelow(int note)
{
    constexpr std::array<int, 7> scale = { 0, 2, 3, 5, 7, 8, 10 }; // semitones above A
    const int fromA = note - 9;                                    // A-0 is note 9
    const int octave = fromA / 12;
    int degree = 0;
    for (int d = 0; d < 7; ++d) {
        if (scale[static_cast<size_t>(d)] <= fromA % 12)
            degree = d;
    }
    const int lower = degree - 2;
    const int wrapped = (lower + 7) % 7;
    return 9 + 12 * (octave - (lower < 0 ? 1 : 0)) + scale[static_cast<size_t>(wrapped)];
}

// The whole song on one grid of rows, cut into patterns at the end, so that notes
// and their echoes may run across a pattern's end.
class Grid {
public:
    Grid()
        : cells(static_cast<size_t>(totalRows) * Song::channelCount)
    {
    }

    ItCell& at(int row, int channel)
    {
        return cells[static_cast<size_t>(row) * Song::channelCount + channel];
    }

    // A note; with a length, a note-off that many rows later unless a note is there.
    void note(int row, int channel, int note, int instrument, int volume, int length = 0)
    {
        if (row >= totalRows)
            return;
        ItCell& c = at(row, channel);
        c.note = note;
        c.sample = instrument;
        c.volume = volume;
        if (length > 0 && row + length < totalRows && at(row + length, channel).note == ItCell::noNote)
            at(row + length, channel).note = ItCell::noteOff;
    }

    bool hasNote(int row, int channel) { return row < totalRows && at(row, channel).note != ItCell::noNote; }

    std::vector<ItPattern> patterns() const
    {
        std::vector<ItPattern> out;
        for (int order = 0; order < Song::orderCount; ++order) {
            ItPattern p(rows, Song::channelCount);
            for (int row = 0; row < rows; ++row) {
                for (int ch = 0; ch < Song::channelCount; ++ch)
                    p.at(row, ch) = cells[static_cast<size_t>(order * rows + row) * Song::channelCount + ch];
            }
            out.push_back(p);
        }
        return out;
    }

private:
    std::vector<ItCell> cells;
};

void writeKick(Grid& g, int order)
{
    const Section s = sectionOf(order);
    const int base = order * rows;
    for (int row = 0; row < rows; row += 8)
        g.note(base + row, Song::kickChannel, 60, Song::kickInstrument, accent);
    // Soft pickups that push into the next accent.
    if (s == Section::opening && order >= 2) {
        g.note(base + 14, Song::kickChannel, 60, Song::kickInstrument, 22);
        g.note(base + 30, Song::kickChannel, 60, Song::kickInstrument, 22);
    }
    if (s == Section::drop || s == Section::climax) {
        g.note(base + 11, Song::kickChannel, 60, Song::kickInstrument, 26);
        g.note(base + 27, Song::kickChannel, 60, Song::kickInstrument, 26);
    }
}

void writeSnareAndClap(Grid& g, int order)
{
    const Section s = sectionOf(order);
    const int base = order * rows;
    const auto snare = [&](int row, int volume) {
        g.note(base + row, Song::snareChannel, 60, Song::snareInstrument, volume);
    };
    if (order < 2)
        return;
    if (s == Section::breakdown) {
        // Half time: one snare a bar, on the fourth beat.
        snare(12, 50);
        snare(28, 50);
        return;
    }
    const bool roll = order == 8;
    const int lastBackbeat = s == Section::ending ? 12 : (roll ? 12 : 28);
    for (int row = 4; row <= lastBackbeat; row += 8)
        snare(row, 64);
    if (roll) {
        for (int row = 16; row < 24; row += 2)
            snare(row, 24 + 2 * (row - 16));
        for (int row = 24; row < 32; ++row)
            snare(row, 36 + 3 * (row - 24));
    }
    if (order == 4 || order == 10 || order == 12) {
        snare(29, 30);
        snare(30, 38);
        snare(31, 46);
    }
    const bool claps = order == 7 || s == Section::drop || s == Section::climax;
    if (claps) {
        for (int row = 4; row < rows; row += 8)
            g.note(base + row, Song::clapChannel, 60, Song::clapInstrument, 52);
    }
}

void writeHats(Grid& g, int order)
{
    const Section s = sectionOf(order);
    const int base = order * rows;
    const auto hat = [&](int row, bool open, int volume) {
        g.note(base + row, Song::hatChannel, 60, open ? Song::openHatInstrument : Song::closedHatInstrument,
            volume);
    };
    switch (s) {
    case Section::opening:
        if (order == 0) {
            for (int row = 18; row < rows; row += 4)
                hat(row, false, 20);
        } else if (order == 1) {
            for (int row = 0; row < rows; row += 2)
                hat(row, false, row % 4 == 2 ? 28 : 16);
        } else {
            for (int row = 0; row < rows; ++row) {
                if (row % 16 == 14)
                    hat(row, true, 26);
                else
                    hat(row, false, row % 4 == 2 ? 28 : (row % 2 == 0 ? 18 : 10));
            }
        }
        break;
    case Section::breakdown:
        // Disco offbeats: an open hat between the beats.
        for (int row = 2; row < rows; row += 4)
            hat(row, true, 24);
        break;
    case Section::lift:
        for (int row = 0; row < rows; ++row) {
            const int rise = order == 8 ? row / 4 : 0;
            hat(row, false, (row % 4 == 2 ? 28 : (row % 2 == 0 ? 18 : 11)) + rise);
        }
        break;
    case Section::drop:
    case Section::climax:
        for (int row = 0; row < rows; ++row) {
            if (row % 4 == 2)
                hat(row, true, 24);
            else
                hat(row, false, row % 2 == 0 ? 18 : 12);
        }
        break;
    case Section::ending:
        for (int row = 0; row < 8; ++row)
            hat(row, false, row % 4 == 2 ? 26 : 14);
        break;
    case Section::finalHit:
        break;
    }
}

// A bass figure over one bar: row within the bar, interval above the root, volume, length.
struct BassStep {
    int row;
    int interval;
    int volume;
    int length;
};

const std::vector<BassStep>& bassFigure(Section s, int order, int row)
{
    static const std::vector<BassStep> pulse = { { 0, 0, accent, 7 }, { 8, 0, accent, 7 } };
    static const std::vector<BassStep> eighths = { { 0, 0, accent, 2 }, { 2, 0, 34, 1 }, { 3, 12, 30, 1 },
        { 6, 0, 38, 2 }, { 8, 0, accent, 2 }, { 10, 0, 34, 1 }, { 11, 12, 30, 1 }, { 14, 7, 36, 2 } };
    static const std::vector<BassStep> held = { { 0, 0, accent, 6 }, { 8, 0, accent, 5 }, { 14, 12, 30, 2 } };
    static const std::vector<BassStep> rolling = { { 0, 0, accent, 1 }, { 2, 0, 36, 1 }, { 3, 0, 40, 1 },
        { 4, 12, 34, 1 }, { 6, 0, 36, 1 }, { 7, 0, 40, 1 }, { 8, 0, accent, 1 }, { 10, 0, 36, 1 },
        { 11, 0, 40, 1 }, { 12, 12, 34, 1 }, { 14, 0, 36, 1 }, { 15, 0, 40, 1 } };
    static const std::vector<BassStep> lastBar = { { 0, 0, accent, 7 }, { 8, 0, accent, 8 } };
    switch (s) {
    case Section::opening:
        return order < 2 ? pulse : eighths;
    case Section::breakdown:
        return held;
    case Section::lift:
        return eighths;
    case Section::drop:
    case Section::climax:
        return rolling;
    case Section::ending:
        return row < 16 ? eighths : lastBar;
    case Section::finalHit:
        break;
    }
    return pulse;
}

void writeBass(Grid& g, int order)
{
    const Section s = sectionOf(order);
    for (int bar = 0; bar < 2; ++bar) {
        const int row = bar * 16;
        const int root = chordAt(order, row).bass;
        for (const BassStep& b : bassFigure(s, order, row))
            g.note(order * rows + row + b.row, Song::bassChannel, root + b.interval, Song::bassInstrument,
                b.volume, b.length);
    }
}

void writePad(Grid& g, int order)
{
    const Section s = sectionOf(order);
    int volume = 24;
    if (order == 0 || s == Section::breakdown)
        volume = 34;
    else if (s == Section::ending)
        volume = 30;
    for (int row = 0; row < rows; row += 16) {
        const Chord& c = chordAt(order, row);
        for (size_t v = 0; v < c.pad.size(); ++v)
            g.note(order * rows + row, Song::padChannel1 + static_cast<int>(v), c.pad[v], Song::padInstrument,
                volume);
    }
    if (s == Section::ending) {
        for (int v = 0; v < 4; ++v)
            g.note(order * rows + 24, Song::padChannel1 + v, ItCell::noteOff, 0, ItCell::noVolume);
    }
}

// The pluck walks the chord's voices in sixteenths (index 4 is the lowest voice an
// octave up, 8 two octaves up).
void writePluck(Grid& g, int order)
{
    const Section s = sectionOf(order);
    constexpr std::array<int, 16> walk = { 0, 1, 2, 3, 1, 2, 3, 4, 2, 3, 4, 3, 2, 1, 2, 3 };
    constexpr std::array<int, 16> wave = { 0, 1, 2, 3, 4, 3, 2, 1, 0, 1, 2, 3, 4, 3, 2, 1 };
    constexpr std::array<int, 16> climb = { 0, 1, 2, 3, 4, 5, 6, 7, 4, 5, 6, 7, 8, 7, 6, 5 };
    constexpr std::array<int, 16> leap = { 0, 2, 1, 3, 2, 4, 3, 1, 0, 2, 1, 3, 2, 4, 3, 5 };
    const std::array<int, 16>* pattern = &walk;
    int octaves = 1; // above the pad's voicing
    int step = 1;
    int lastRow = rows;
    int level = 30;
    switch (s) {
    case Section::opening:
        step = order < 2 ? 2 : 1;
        level = order == 0 ? 24 : 30;
        break;
    case Section::breakdown:
        pattern = &wave;
        level = 34;
        break;
    case Section::lift:
        pattern = &climb;
        octaves = 0;
        break;
    case Section::drop:
    case Section::climax:
        pattern = &leap;
        octaves = 0;
        level = 30;
        break;
    case Section::ending:
        lastRow = 8;
        break;
    case Section::finalHit:
        return;
    }
    for (int row = 0; row < lastRow; row += step) {
        const Chord& c = chordAt(order, row);
        const int index = (*pattern)[static_cast<size_t>(row % 16)];
        const int note = c.pad[static_cast<size_t>(index % 4)] + 12 * (octaves + index / 4);
        const int shape = row % 4 == 0 ? 10 : (row % 2 == 0 ? 4 : 0);
        const int rise = order == 8 ? row / 3 : 0;
        const int volume = level + shape + rise - 6;
        g.note(order * rows + row, Song::pluckChannel, note, Song::pluckInstrument, volume);
        // The echo: a dotted eighth late, softer, on the other side.
        if (!g.hasNote(order * rows + row + 3, Song::echoChannel))
            g.note(order * rows + row + 3, Song::echoChannel, note, Song::pluckInstrument, volume * 2 / 5);
    }
}

void writeLead(Grid& g, int order)
{
    const Section s = sectionOf(order);
    const Phrase& phrase = leadPhrases()[static_cast<size_t>(order)];
    const int base = order * rows;
    const int volume = s == Section::finalHit ? 40 : 46;
    for (const Step& n : phrase) {
        g.note(base + n.row, Song::leadChannel, n.note, Song::leadInstrument, volume, n.length);
        if (s == Section::climax) {
            g.note(base + n.row, Song::answerChannel, thirdBelow(n.note), Song::leadInstrument,
                volume * 3 / 4, n.length);
        } else if (s != Section::finalHit && s != Section::ending) {
            g.note(base + n.row + 3, Song::answerChannel, n.note, Song::leadInstrument, volume * 2 / 5,
                n.length);
        }
    }
}

void writeBells(Grid& g, int order)
{
    const Section s = sectionOf(order);
    if (s == Section::breakdown) {
        for (const Step& n : bellPhrases()[static_cast<size_t>(order - 5)])
            g.note(order * rows + n.row, Song::bellChannel, n.note, Song::bellInstrument, 40);
    }
    if (s == Section::finalHit) {
        g.note(order * rows, Song::bellChannel, 81, Song::bellInstrument, 44);
        g.note(order * rows + 8, Song::bellChannel, 76, Song::bellInstrument, 22);
    }
}

void writeEffects(Grid& g, int order)
{
    constexpr std::array<std::pair<int, int>, 6> crashes
        = { { { 3, 34 }, { 5, 42 }, { 7, 46 }, { 9, 54 }, { 11, 54 }, { 14, 60 } } };
    for (const auto& [at, volume] : crashes) {
        if (at == order)
            g.note(order * rows, Song::effectChannel, 60, Song::crashInstrument, volume);
    }
    // The riser fills order 8; before the climax it runs an octave up, twice as fast.
    if (order == 8)
        g.note(order * rows, Song::effectChannel, 60, Song::riserInstrument, 44);
    if (order == 10)
        g.note(order * rows + 16, Song::effectChannel, 72, Song::riserInstrument, 36);
}

// Order 14: everything on row 0, then kick and bass echo the hit, softer each time.
void writeFinalHit(Grid& g)
{
    const int base = finalOrder * rows;
    constexpr std::array<int, 4> echoes = { accent, 40, 24, 12 };
    for (size_t i = 0; i < echoes.size(); ++i) {
        const int row = base + 8 * static_cast<int>(i);
        g.note(row, Song::kickChannel, 60, Song::kickInstrument, echoes[i]);
        g.note(row, Song::bassChannel, aMinor.bass, Song::bassInstrument, echoes[i], i == 0 ? 6 : 4);
    }
    for (size_t v = 0; v < aMinor.pad.size(); ++v)
        g.note(base, Song::padChannel1 + static_cast<int>(v), aMinor.pad[v], Song::padInstrument, 36, 12);
}

ItInstrument instrument(const char* name, int number, uint8_t globalVolume,
    std::vector<ItEnvelopePoint> envelope = {}, int sustainPoint = -1,
    ItInstrument::NewNoteAction action = ItInstrument::NewNoteAction::cut)
{
    ItInstrument i;
    i.name = name;
    i.sample = number;
    i.globalVolume = globalVolume;
    i.envelope = std::move(envelope);
    i.sustainPoint = sustainPoint;
    i.newNoteAction = action;
    return i;
}

} // namespace

ItModule SongComposer::compose()
{
    ItModule module;
    module.title = "mordel";
    module.initialSpeed = speed;
    module.initialTempo = tempo;
    module.globalVolume = 128;
    module.mixVolume = 112;
    module.rowHighlightMinor = 4;
    module.rowHighlightMajor = 16;
    module.channelCount = channelCount;
    // Left to right: pads spread wide, pluck and its echo on either side.
    module.channelPan = { 32, 32, 34, 40, 32, 16, 26, 38, 48, 20, 46, 30, 36, 40, 32 };

    module.samples
        = { SampleSynth::kick(), SampleSynth::snare(), SampleSynth::clap(), SampleSynth::closedHat(),
              SampleSynth::openHat(), SampleSynth::crash(), SampleSynth::riser(), SampleSynth::bass(),
              SampleSynth::pad(), SampleSynth::pluck(), SampleSynth::lead(), SampleSynth::bell() };

    using Action = ItInstrument::NewNoteAction;
    // Envelope ticks are 25 ms at this tempo.
    module.instruments = {
        instrument("kick", kickInstrument, 128),
        instrument("snare", snareInstrument, 76),
        instrument("clap", clapInstrument, 128),
        instrument("closed hat", closedHatInstrument, 96),
        instrument("open hat", openHatInstrument, 80),
        instrument("crash", crashInstrument, 60),
        instrument("riser", riserInstrument, 60),
        // Bass: a quick dip after the attack, held until note-off, released in 150 ms.
        instrument("bass", bassInstrument, 72, { { 0, 64 }, { 3, 50 }, { 12, 42 }, { 18, 0 } }, 2),
        // Pad: swells in a quarter second, fades in 0.6 s under the next chord.
        instrument(
            "pad", padInstrument, 44, { { 0, 0 }, { 10, 64 }, { 40, 54 }, { 64, 0 } }, 2, Action::noteOff),
        // Pluck: struck, then dying within a second.
        instrument("pluck", pluckInstrument, 58, { { 0, 64 }, { 2, 48 }, { 8, 22 }, { 20, 7 }, { 36, 0 } }),
        instrument(
            "lead", leadInstrument, 58, { { 0, 0 }, { 1, 64 }, { 8, 50 }, { 14, 0 } }, 2, Action::noteOff),
        instrument("bell", bellInstrument, 64, {}, -1, Action::carryOn),
    };

    Grid grid;
    for (int order = 0; order < finalOrder; ++order) {
        writeKick(grid, order);
        writeSnareAndClap(grid, order);
        writeHats(grid, order);
        writeBass(grid, order);
        writePad(grid, order);
        writePluck(grid, order);
        writeLead(grid, order);
        writeBells(grid, order);
        writeEffects(grid, order);
    }
    writeFinalHit(grid);
    writeLead(grid, finalOrder);
    writeBells(grid, finalOrder);
    writeEffects(grid, finalOrder);

    module.patterns = grid.patterns();
    for (int order = 0; order < orderCount; ++order)
        module.orders.push_back(order);
    return module;
}

} // namespace datagen
