// Translation of SDL events into the window events the demo's window procedure knows.
#pragma once

#include "platform/GLSurface.h"

#include <SDL.h>

namespace platform {

// The virtual-key code of an SDL key: Escape 27, Space 32, Return 13, letters as their
// upper-case ASCII, digits as ASCII; 0 for keys the demo has no code for.
int virtualKey(SDL_Keycode key);

// False when the event means nothing to the demo. minimised: the window's state now.
bool translateEvent(const SDL_Event& sdlEvent, bool minimised, WindowEvent& event);

} // namespace platform
