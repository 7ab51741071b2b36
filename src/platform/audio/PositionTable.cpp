// The table as text: header lines, then the row starts, one per line, so that it reads
// in an editor and diffs between builds.
#include "platform/audio/PositionTable.h"

#include "platform/DataFile.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <sstream>

namespace platform {

namespace {

constexpr const char* header = "vorimel-positions 1";
// a table larger than this is not ours: an hour of rows stays far below
constexpr uint64_t maxFileBytes = uint64_t { 16 } << 20;

} // namespace

void PositionTable::addRow(uint64_t frame, int order, int row)
{
    if (!rows.empty() && rows.back().order == order && rows.back().row == row)
        return;
    rows.push_back(RowStart { frame, static_cast<uint16_t>(order), static_cast<uint16_t>(row) });
}

std::string PositionTable::serialise() const
{
    std::string text;
    char line[96];
    std::snprintf(
        line, sizeof line, "%s\nrate %d\nframes %" PRIu64 "\nrows %zu\n", header, rate, frames, rows.size());
    text += line;
    for (const RowStart& start : rows) {
        std::snprintf(line, sizeof line, "%" PRIu64 " %u %u\n", start.frame,
            static_cast<unsigned>(start.order), static_cast<unsigned>(start.row));
        text += line;
    }
    return text;
}

bool PositionTable::parse(const std::string& text, std::string& error)
{
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != header) {
        error = "not a position table (no \"" + std::string(header) + "\" line)";
        return false;
    }
    std::string word;
    int readRate = 0;
    uint64_t readFrames = 0;
    size_t rowCount = 0;
    if (!(in >> word >> readRate) || word != "rate" || readRate <= 0 || !(in >> word >> readFrames)
        || word != "frames" || !(in >> word >> rowCount) || word != "rows") {
        error = "the header lines (rate, frames, rows) are missing or wrong";
        return false;
    }
    PositionTable table(readRate);
    table.frames = readFrames;
    for (size_t i = 0; i < rowCount; ++i) {
        RowStart start;
        unsigned order = 0;
        unsigned row = 0;
        if (!(in >> start.frame >> order >> row) || order > 0xFFFF || row > 0xFFFF) {
            error = "row start " + std::to_string(i) + " is missing or wrong";
            return false;
        }
        if (!table.rows.empty() && start.frame < table.rows.back().frame) {
            error = "row start " + std::to_string(i) + " lies before the one above it";
            return false;
        }
        start.order = static_cast<uint16_t>(order);
        start.row = static_cast<uint16_t>(row);
        table.rows.push_back(start);
    }
    if (in >> word) {
        error = "text after the last row";
        return false;
    }
    *this = std::move(table);
    return true;
}

bool PositionTable::load(const char* path, std::string& error)
{
    DataFile file;
    std::vector<char> bytes;
    if (!file.open(path) || !file.readAll(bytes, maxFileBytes)) {
        error = std::string(path) + ": " + file.error();
        return false;
    }
    if (!parse(std::string(bytes.begin(), bytes.end()), error)) {
        error = std::string(path) + ": " + error;
        return false;
    }
    return true;
}

ModulePosition PositionTable::positionAt(uint64_t frame) const
{
    ModulePosition position;
    const auto after = std::upper_bound(
        rows.begin(), rows.end(), frame, [](uint64_t f, const RowStart& start) { return f < start.frame; });
    if (after == rows.begin())
        return position;
    const RowStart& start = *(after - 1);
    const uint64_t end = after != rows.end() ? after->frame : std::max(frames, start.frame + 1);
    position.order = start.order;
    position.row = start.row;
    const double fraction = static_cast<double>(frame - start.frame)
        / static_cast<double>(std::max<uint64_t>(end - start.frame, 1));
    position.rowFraction = std::clamp(static_cast<float>(fraction), 0.0f, 0.99999994f);
    return position;
}

std::optional<uint64_t> PositionTable::frameOf(int order, int row) const
{
    for (const RowStart& start : rows) {
        if (start.order == order && start.row == row)
            return start.frame;
    }
    return std::nullopt;
}

} // namespace platform
