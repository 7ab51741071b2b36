// Where each row of the module starts in the reference rendering.
#pragma once

#include <cstdint>

namespace syncbench {

struct RowStart {
    int order = 0;
    int row = 0;
    int64_t frame = 0; // first frame of the row
};

} // namespace syncbench
