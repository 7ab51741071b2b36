// The in-memory form of an Impulse Tracker module, as the composer builds it and
// ItWriter stores it: samples, optional instruments over them, patterns and orders.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

// A mono, signed 16-bit sample.
struct ItSample {
    std::string name;     // up to 25 characters
    std::string fileName; // up to 12 characters
    std::vector<int16_t> frames;
    bool looped = false;
    uint32_t loopStart = 0;     // first frame of the loop
    uint32_t loopEnd = 0;       // one past the last frame of the loop
    uint32_t c5Speed = 44100;   // playback rate of note C-5, Hz
    uint8_t globalVolume = 64;  // 0..64
    uint8_t defaultVolume = 64; // 0..64
    // Automatic vibrato: speed 0..64, depth 0..32, sweep 0..255 (how fast the depth
    // builds up; 0 = at once), all 0 for none.
    uint8_t vibratoSpeed = 0;
    uint8_t vibratoDepth = 0;
    uint8_t vibratoSweep = 0;
};

// One point of a volume envelope: level 0..64 at a tick counted from the note's start.
struct ItEnvelopePoint {
    uint16_t tick;
    uint8_t level;
};

// An instrument plays one sample over the whole keyboard, shaped by its volume envelope.
struct ItInstrument {
    enum class NewNoteAction : uint8_t { cut = 0, carryOn = 1, noteOff = 2, fade = 3 };

    std::string name; // up to 25 characters
    int sample = 1;   // 1-based
    NewNoteAction newNoteAction = NewNoteAction::cut;
    uint16_t fadeOut = 0;       // 0..256: volume lost per tick after note-off, in 1/2048 of full
    uint8_t globalVolume = 128; // 0..128
    // Empty: no envelope. Otherwise up to 25 points with rising ticks, the first at tick 0.
    std::vector<ItEnvelopePoint> envelope;
    // The envelope holds at this point until note-off; -1 for no sustain.
    int sustainPoint = -1;
};

// One pattern cell. Effect commands are numbered as letters: 1 = A, 2 = B, ... 26 = Z.
struct ItCell {
    static constexpr int noNote = -1;
    static constexpr int noteCut = 254;
    static constexpr int noteOff = 255;
    static constexpr int noVolume = -1;

    int note = noNote;     // 0..119 (60 = C-5), noteCut, noteOff
    int sample = 0;        // 1-based sample (or instrument, in instrument mode) number, 0 for none
    int volume = noVolume; // volume column: 0..64 volume, 128..192 panning 0..64
    int command = 0;       // 0 for none
    int parameter = 0;

    bool empty() const { return note == noNote && sample == 0 && volume == noVolume && command == 0; }
};

struct ItPattern {
    int rows = 0;
    int channels = 0;
    std::vector<ItCell> cells; // row-major

    ItPattern() = default;
    ItPattern(int rowCount, int channelCount)
        : rows(rowCount)
        , channels(channelCount)
        , cells(static_cast<size_t>(rowCount) * static_cast<size_t>(channelCount))
    {
    }

    ItCell& at(int row, int channel)
    {
        assert(row >= 0 && row < rows && channel >= 0 && channel < channels && "cell outside the pattern");
        return cells[static_cast<size_t>(row) * channels + channel];
    }
    const ItCell& at(int row, int channel) const
    {
        assert(row >= 0 && row < rows && channel >= 0 && channel < channels && "cell outside the pattern");
        return cells[static_cast<size_t>(row) * channels + channel];
    }
};

struct ItModule {
    std::string title;      // up to 25 characters
    int initialSpeed = 6;   // ticks per row
    int initialTempo = 125; // beats per minute in the tracker's sense: 2.5 / tempo seconds per tick
    int globalVolume = 128; // 0..128
    int mixVolume = 48;     // 0..128
    int rowHighlightMinor = 4;
    int rowHighlightMajor = 16;
    int channelCount = 1;    // channels used, at most 64
    std::vector<int> orders; // pattern numbers in play order; the end marker is the writer's
    std::vector<ItPattern> patterns;
    std::vector<ItSample> samples;
    // Empty: sample mode, cells name samples. Otherwise cells name these instruments.
    std::vector<ItInstrument> instruments;
    // Initial pan of each channel, 0 (left) .. 64 (right); channels not listed sit in the middle.
    std::vector<int> channelPan;
};

} // namespace datagen
