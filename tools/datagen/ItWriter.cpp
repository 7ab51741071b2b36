// Impulse Tracker file layout: header, order list, parapointer tables, instruments,
// sample headers, patterns, then the sample data, every pointer an absolute file offset.
#include "ItWriter.h"

#include "FileBytes.h"

#include <array>
#include <cassert>

namespace datagen {

namespace {

constexpr size_t headerSize = 0xC0;
constexpr size_t sampleHeaderSize = 0x50;
constexpr size_t instrumentSize = 554;
constexpr size_t envelopePoints = 25;
constexpr int keyboardNotes = 120;
constexpr int maxChannels = 64;
constexpr uint8_t endOfSong = 255;

// Header flags: stereo output, linear frequency slides, instrument mode.
constexpr uint16_t flagStereo = 0x01;
constexpr uint16_t flagInstruments = 0x04;
constexpr uint16_t flagLinearSlides = 0x08;

// Instrument and envelope bits.
constexpr uint8_t panNotApplied = 0x80;
constexpr uint8_t envelopeOn = 0x01;
constexpr uint8_t envelopeSustain = 0x04;

// Sample flags and conversion bits.
constexpr uint8_t sampleHasData = 0x01;
constexpr uint8_t sample16Bit = 0x02;
constexpr uint8_t sampleLooped = 0x10;
constexpr uint8_t convertSigned = 0x01;

constexpr uint8_t centrePan = 32;
constexpr uint8_t channelDisabled = 128; // added to the pan of an unused channel
constexpr uint8_t fullChannelVolume = 64;
constexpr uint8_t separation = 128;

// Pattern mask bits.
constexpr uint8_t maskNote = 0x01;
constexpr uint8_t maskSample = 0x02;
constexpr uint8_t maskVolume = 0x04;
constexpr uint8_t maskCommand = 0x08;
constexpr uint8_t channelHasMask = 0x80;

class Bytes {
public:
    std::vector<uint8_t> data;

    void u8(uint32_t v) { data.push_back(static_cast<uint8_t>(v)); }
    void u16(uint32_t v)
    {
        u8(v & 0xFF);
        u8(v >> 8);
    }
    void u32(uint32_t v)
    {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    // text, cut to size - 1 characters and padded with zeros to size bytes.
    void text(const std::string& s, size_t size)
    {
        for (size_t i = 0; i < size; ++i)
            u8(i + 1 < size && i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
    }
    void patch32(size_t at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            data[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    }
    uint32_t offset() const { return static_cast<uint32_t>(data.size()); }
};

uint8_t cellMask(const ItCell& cell)
{
    uint8_t mask = 0;
    if (cell.note != ItCell::noNote)
        mask |= maskNote;
    if (cell.sample != 0)
        mask |= maskSample;
    if (cell.volume != ItCell::noVolume)
        mask |= maskVolume;
    if (cell.command != 0)
        mask |= maskCommand;
    return mask;
}

void writeHeader(Bytes& out, const ItModule& module)
{
    assert(module.channelCount > 0 && module.channelCount <= maxChannels && "1 to 64 channels");
    out.u8('I');
    out.u8('M');
    out.u8('P');
    out.u8('M');
    out.text(module.title, 26);
    out.u8(static_cast<uint32_t>(module.rowHighlightMinor));
    out.u8(static_cast<uint32_t>(module.rowHighlightMajor));
    out.u16(static_cast<uint32_t>(module.orders.size() + 1));
    out.u16(static_cast<uint32_t>(module.instruments.size()));
    out.u16(static_cast<uint32_t>(module.samples.size()));
    out.u16(static_cast<uint32_t>(module.patterns.size()));
    out.u16(ItWriter::formatVersion);
    out.u16(ItWriter::formatVersion);
    out.u16(flagStereo | flagLinearSlides | (module.instruments.empty() ? 0 : flagInstruments));
    out.u16(0); // special: no message, no MIDI configuration
    out.u8(static_cast<uint32_t>(module.globalVolume));
    out.u8(static_cast<uint32_t>(module.mixVolume));
    out.u8(static_cast<uint32_t>(module.initialSpeed));
    out.u8(static_cast<uint32_t>(module.initialTempo));
    out.u8(separation);
    out.u8(0);  // pitch wheel depth
    out.u16(0); // message length
    out.u32(0); // message offset
    out.u32(0); // reserved
    for (int ch = 0; ch < maxChannels; ++ch) {
        const size_t c = static_cast<size_t>(ch);
        const int pan = c < module.channelPan.size() ? module.channelPan[c] : centrePan;
        assert(pan >= 0 && pan <= 64 && "channel pan 0..64");
        out.u8(static_cast<uint32_t>(pan) + (ch < module.channelCount ? 0 : channelDisabled));
    }
    for (int ch = 0; ch < maxChannels; ++ch)
        out.u8(fullChannelVolume);
    assert(out.data.size() == headerSize);
}

void writeSampleHeader(Bytes& out, const ItSample& sample)
{
    assert(!sample.frames.empty() && "a sample needs data");
    assert((!sample.looped || (sample.loopStart < sample.loopEnd && sample.loopEnd <= sample.frames.size()))
        && "loop inside the sample");
    assert(sample.c5Speed != 0 && "a sample needs a playback rate");
    const size_t start = out.data.size();
    out.u8('I');
    out.u8('M');
    out.u8('P');
    out.u8('S');
    out.text(sample.fileName, 13); // 12 characters and a zero
    out.u8(sample.globalVolume);
    out.u8(sampleHasData | sample16Bit | (sample.looped ? sampleLooped : 0));
    out.u8(sample.defaultVolume);
    out.text(sample.name, 26);
    out.u8(convertSigned);
    out.u8(centrePan); // default pan, bit 7 clear: not applied
    out.u32(static_cast<uint32_t>(sample.frames.size()));
    out.u32(sample.looped ? sample.loopStart : 0);
    out.u32(sample.looped ? sample.loopEnd : 0);
    out.u32(sample.c5Speed);
    out.u32(0); // sustain loop
    out.u32(0);
    out.u32(0); // data pointer, patched once the data is placed
    out.u8(sample.vibratoSpeed);
    out.u8(sample.vibratoDepth);
    out.u8(sample.vibratoSweep);
    out.u8(0); // vibrato waveform: sine
    assert(out.data.size() - start == sampleHeaderSize);
    (void)start;
}

void writeInstrument(Bytes& out, const ItInstrument& instrument, size_t sampleCount)
{
    assert(instrument.sample >= 1 && static_cast<size_t>(instrument.sample) <= sampleCount
        && "an instrument plays one of the samples");
    assert(instrument.envelope.size() <= envelopePoints && "at most 25 envelope points");
    assert(instrument.sustainPoint < static_cast<int>(instrument.envelope.size()) && "sustain on a point");
    (void)sampleCount;
    const size_t start = out.data.size();
    out.u8('I');
    out.u8('M');
    out.u8('P');
    out.u8('I');
    out.text(instrument.name.substr(0, 8) + ".iti", 13);
    out.u8(static_cast<uint32_t>(instrument.newNoteAction));
    out.u8(0); // duplicate check: off
    out.u8(0);
    out.u16(instrument.fadeOut);
    out.u8(0);  // pitch-pan separation
    out.u8(60); // pitch-pan centre: C-5
    out.u8(instrument.globalVolume);
    out.u8(centrePan | panNotApplied);
    out.u8(0); // random volume and pan variation
    out.u8(0);
    out.u16(ItWriter::formatVersion);
    out.u8(1); // samples used
    out.u8(0);
    out.text(instrument.name, 26);
    out.u8(0); // filter cutoff and resonance: off
    out.u8(0);
    out.u8(0); // MIDI channel, program, bank: none
    out.u8(0);
    out.u16(0);
    for (int note = 0; note < keyboardNotes; ++note) {
        out.u8(static_cast<uint32_t>(note));
        out.u8(static_cast<uint32_t>(instrument.sample));
    }
    // Volume envelope, then unused pan and pitch envelopes.
    const std::vector<ItEnvelopePoint>& points = instrument.envelope;
    const bool sustained = instrument.sustainPoint >= 0;
    out.u8(points.empty() ? 0 : envelopeOn | (sustained ? envelopeSustain : 0));
    out.u8(static_cast<uint32_t>(points.size()));
    out.u8(0); // loop: none
    out.u8(0);
    out.u8(sustained ? static_cast<uint32_t>(instrument.sustainPoint) : 0);
    out.u8(sustained ? static_cast<uint32_t>(instrument.sustainPoint) : 0);
    for (size_t i = 0; i < envelopePoints; ++i) {
        assert((i >= points.size()
                   || (points[i].level <= 64
                       && (i == 0 ? points[i].tick == 0 : points[i].tick > points[i - 1].tick)))
            && "envelope levels 0..64 at rising ticks from 0");
        out.u8(i < points.size() ? points[i].level : 0);
        out.u16(i < points.size() ? points[i].tick : 0);
    }
    out.u8(0);
    for (int unused = 0; unused < 2; ++unused) {
        for (size_t i = 0; i < 82; ++i)
            out.u8(0);
    }
    out.u32(0); // padding to the size of the old instrument layout
    assert(out.data.size() - start == instrumentSize);
    (void)start;
}

} // namespace

std::vector<uint8_t> ItWriter::packPattern(const ItPattern& pattern)
{
    assert(pattern.channels <= maxChannels && "1 to 64 channels");
    Bytes out;
    std::array<int, maxChannels> lastMask;
    lastMask.fill(-1);
    for (int row = 0; row < pattern.rows; ++row) {
        for (int ch = 0; ch < pattern.channels; ++ch) {
            const ItCell& cell = pattern.at(row, ch);
            if (cell.empty())
                continue;
            assert((cell.note == ItCell::noNote || (cell.note >= 0 && cell.note <= 119)
                       || cell.note == ItCell::noteCut || cell.note == ItCell::noteOff)
                && "note out of range");
            assert((cell.volume <= 64 || (cell.volume >= 128 && cell.volume <= 192)) && "volume or pan");
            const uint8_t mask = cellMask(cell);
            if (mask != lastMask[static_cast<size_t>(ch)]) {
                out.u8(static_cast<uint32_t>(ch + 1) | channelHasMask);
                out.u8(mask);
                lastMask[static_cast<size_t>(ch)] = mask;
            } else {
                out.u8(static_cast<uint32_t>(ch + 1));
            }
            if (mask & maskNote)
                out.u8(static_cast<uint32_t>(cell.note));
            if (mask & maskSample)
                out.u8(static_cast<uint32_t>(cell.sample));
            if (mask & maskVolume)
                out.u8(static_cast<uint32_t>(cell.volume));
            if (mask & maskCommand) {
                out.u8(static_cast<uint32_t>(cell.command));
                out.u8(static_cast<uint32_t>(cell.parameter));
            }
        }
        out.u8(0);
    }
    return out.data;
}

std::vector<uint8_t> ItWriter::encode(const ItModule& module)
{
    Bytes out;
    writeHeader(out, module);
    for (int order : module.orders) {
        assert(order >= 0 && order < static_cast<int>(module.patterns.size()) && "order names a pattern");
        out.u8(static_cast<uint32_t>(order));
    }
    out.u8(endOfSong);

    const size_t instrumentPointers = out.data.size();
    for (size_t i = 0; i < module.instruments.size(); ++i)
        out.u32(0);
    const size_t samplePointers = out.data.size();
    for (size_t i = 0; i < module.samples.size(); ++i)
        out.u32(0);
    const size_t patternPointers = out.data.size();
    for (size_t i = 0; i < module.patterns.size(); ++i)
        out.u32(0);

    for (size_t i = 0; i < module.instruments.size(); ++i) {
        out.patch32(instrumentPointers + 4 * i, out.offset());
        writeInstrument(out, module.instruments[i], module.samples.size());
    }

    std::vector<size_t> sampleHeaders;
    for (size_t i = 0; i < module.samples.size(); ++i) {
        out.patch32(samplePointers + 4 * i, out.offset());
        sampleHeaders.push_back(out.data.size());
        writeSampleHeader(out, module.samples[i]);
    }

    for (size_t i = 0; i < module.patterns.size(); ++i) {
        const ItPattern& pattern = module.patterns[i];
        assert(pattern.rows >= 32 && pattern.rows <= 200 && "patterns hold 32 to 200 rows");
        const std::vector<uint8_t> packed = packPattern(pattern);
        assert(packed.size() <= 0xFFFF && "packed pattern too long");
        out.patch32(patternPointers + 4 * i, out.offset());
        out.u16(static_cast<uint32_t>(packed.size()));
        out.u16(static_cast<uint32_t>(pattern.rows));
        out.u32(0);
        out.data.insert(out.data.end(), packed.begin(), packed.end());
    }

    for (size_t i = 0; i < module.samples.size(); ++i) {
        // The data pointer sits 0x48 bytes into the sample header.
        out.patch32(sampleHeaders[i] + 0x48, out.offset());
        for (int16_t frame : module.samples[i].frames)
            out.u16(static_cast<uint16_t>(frame));
    }
    return out.data;
}

bool ItWriter::write(const std::string& path, const ItModule& module)
{
    return writeFileBytes(path, encode(module));
}

} // namespace datagen
