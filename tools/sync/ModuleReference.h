// The module as it should be heard: libopenmpt's rendering from order 0 row 0, as
// mono samples, and the frame at which every row starts.
#pragma once

#include "ModuleRows.h"

#include <cstdint>
#include <string>
#include <vector>

namespace syncbench {

class ModuleReference {
public:
    // Renders at most maxFrames frames (less when the module ends first). False, with
    // the reason in `error`, when the file is no module libopenmpt plays.
    bool render(const std::string& path, int sampleRate, int64_t maxFrames, std::string& error);

    const std::vector<float>& mono() const { return samples; }
    const std::vector<RowStart>& rows() const { return starts; }

private:
    std::vector<float> samples;
    std::vector<RowStart> starts;
};

} // namespace syncbench
