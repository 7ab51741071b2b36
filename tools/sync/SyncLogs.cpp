// Line-oriented readers for the measurement's files.
#include "SyncLogs.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace syncbench {

namespace {

// Reads every non-empty line of a file through `parse`, which fills one record and
// says whether the line was well formed.
template <typename Record, typename Parse>
std::optional<std::vector<Record>> readLines(const std::string& path, std::string& error, Parse parse)
{
    std::ifstream file(path);
    if (!file) {
        error = "cannot open " + path;
        return std::nullopt;
    }
    std::vector<Record> records;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) {
            continue;
        }
        std::istringstream fields(line);
        Record record;
        std::string rest;
        if (!parse(fields, record) || (fields >> rest)) {
            error = path + ":" + std::to_string(number) + ": cannot read \"" + line + "\"";
            return std::nullopt;
        }
        records.push_back(record);
    }
    return records;
}

} // namespace

std::optional<std::vector<ReportedPosition>> readPositionLog(const std::string& path, std::string& error)
{
    return readLines<ReportedPosition>(path, error, [](std::istream& in, ReportedPosition& p) {
        return static_cast<bool>(in >> p.readNs >> p.forNs >> p.order >> p.row >> p.fraction) && p.order >= 0
            && p.row >= 0 && p.fraction >= 0.0 && p.fraction < 1.0;
    });
}

std::optional<std::vector<CaptureStamp>> readCaptureStamps(const std::string& path, std::string& error)
{
    return readLines<CaptureStamp>(path, error, [](std::istream& in, CaptureStamp& s) {
        return static_cast<bool>(in >> s.frames >> s.nowNs >> s.latencyUs) && s.frames >= 0;
    });
}

std::optional<std::vector<ScreenUpdate>> readScreenUpdates(const std::string& path, std::string& error)
{
    return readLines<ScreenUpdate>(path, error, [](std::istream& in, ScreenUpdate& u) {
        return static_cast<bool>(
            in >> u.ns >> u.whole >> u.bands[0] >> u.bands[1] >> u.bands[2] >> u.bands[3]);
    });
}

std::optional<std::vector<float>> readStereoAsMono(const std::string& path, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = "cannot open " + path;
        return std::nullopt;
    }
    std::vector<float> mono;
    float frame[2];
    while (std::fread(frame, sizeof frame, 1, file) == 1) {
        mono.push_back(0.5f * (frame[0] + frame[1]));
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    return mono;
}

} // namespace syncbench
