// The loop of a host that hands the program one call per display refresh (a browser's
// requestAnimationFrame) instead of letting it loop on its own.
#pragma once

namespace platform {

// Calls frame once per display refresh until it returns false, then finish, once.
// Returns at once: the host runs the loop after the caller has returned.
void runFrameLoop(bool (*frame)(), void (*finish)());

} // namespace platform
