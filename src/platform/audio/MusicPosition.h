// A music position as the audio layer and the music player pass it: one 32-bit value,
// the order in the low 16 bits and the row in the high 16 bits. In positions the audio
// layer reports, the high half is the row times a scaler plus the part of the row
// already heard, in scaler units; in positions the program sets, it is the plain row.
#pragma once

#include <algorithm>
#include <cstdint>

namespace platform {

struct ModulePosition {
    uint16_t order = 0;
    uint16_t row = 0;
    float rowFraction = 0.0f; // part of the row already played, [0, 1)
};

// Each half cut to 16 bits.
constexpr uint32_t packPosition(int order, int high)
{
    return ((static_cast<uint32_t>(high) & 0xFFFFu) << 16) | (static_cast<uint32_t>(order) & 0xFFFFu);
}

// As reported: row * scaler plus the played part of the row, which never reaches the
// next row.
inline uint32_t packPosition(const ModulePosition& position, int scaler)
{
    scaler = std::max(scaler, 1);
    const int part
        = std::min(static_cast<int>(position.rowFraction * static_cast<float>(scaler)), scaler - 1);
    return packPosition(position.order, position.row * scaler + std::max(part, 0));
}

// Only the low 32 bits of a 64-bit position count.
constexpr int orderOf(uint64_t position)
{
    return static_cast<int>(position & 0xFFFFu);
}

constexpr int highOf(uint64_t position)
{
    return static_cast<int>((position >> 16) & 0xFFFFu);
}

// The row of a reported position: the played part of the row is dropped.
constexpr int rowOf(uint64_t position, int scaler)
{
    return highOf(position) / scaler;
}

} // namespace platform
