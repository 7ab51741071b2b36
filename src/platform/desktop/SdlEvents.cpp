// SDL event translation: the rows of the demo's window procedure.
#include "platform/desktop/SdlEvents.h"

namespace platform {

int virtualKey(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return 112 + (key - SDLK_F1);
    switch (key) {
    // clang-format off
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB:       return 9;
    case SDLK_RETURN:    return 13;
    case SDLK_KP_ENTER:  return 13;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:    return 16;
    case SDLK_LCTRL:
    case SDLK_RCTRL:     return 17;
    case SDLK_LALT:
    case SDLK_RALT:      return 18;
    case SDLK_PAUSE:     return 19;
    case SDLK_ESCAPE:    return 27;
    case SDLK_SPACE:     return 32;
    case SDLK_PAGEUP:    return 33;
    case SDLK_PAGEDOWN:  return 34;
    case SDLK_END:       return 35;
    case SDLK_HOME:      return 36;
    case SDLK_LEFT:      return 37;
    case SDLK_UP:        return 38;
    case SDLK_RIGHT:     return 39;
    case SDLK_DOWN:      return 40;
    case SDLK_INSERT:    return 45;
    case SDLK_DELETE:    return 46;
    default:             return 0;
        // clang-format on
    }
}

bool translateEvent(const SDL_Event& sdlEvent, bool minimised, WindowEvent& event)
{
    switch (sdlEvent.type) {
    case SDL_QUIT:
        event = { WindowEvent::Type::quit };
        return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        // Auto-repeat arrives as further key-down events and sets the key again.
        const int key = virtualKey(sdlEvent.key.keysym.sym);
        if (key == 0)
            return false;
        event = { sdlEvent.type == SDL_KEYDOWN ? WindowEvent::Type::keyDown : WindowEvent::Type::keyUp };
        event.key = key;
        return true;
    }
    case SDL_WINDOWEVENT:
        switch (sdlEvent.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            event = { WindowEvent::Type::quit };
            return true;
        case SDL_WINDOWEVENT_MINIMIZED:
            event = { WindowEvent::Type::minimised };
            return true;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
            // Losing the focus keeps a visible window drawing; only a minimised one stops.
            event = { minimised ? WindowEvent::Type::minimised : WindowEvent::Type::activated };
            return true;
        case SDL_WINDOWEVENT_RESIZED:
            event = { WindowEvent::Type::resized };
            event.width = sdlEvent.window.data1;
            event.height = sdlEvent.window.data2;
            return true;
        default:
            return false;
        }
    default:
        return false;
    }
}

} // namespace platform
