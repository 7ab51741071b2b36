// Message boxes through SDL; errors also go to stderr as one line.
#include "platform/MessageBox.h"

#include <SDL.h>

#include <string>

namespace platform {

namespace {

Uint32 boxFlags(MessageIcon icon)
{
    switch (icon) {
    // clang-format off
    case MessageIcon::error:       return SDL_MESSAGEBOX_ERROR;
    case MessageIcon::exclamation: return SDL_MESSAGEBOX_WARNING;
    default:                       return SDL_MESSAGEBOX_INFORMATION;
        // clang-format on
    }
}

} // namespace

Answer askYesNo(const char* caption, const char* text, MessageIcon icon, std::string* why)
{
    enum { yesButton = 1, noButton = 2 };
    const SDL_MessageBoxButtonData buttons[] = {
        { SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, yesButton, "Yes" },
        { SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, noButton, "No" },
    };
    const SDL_MessageBoxData box = { boxFlags(icon), nullptr, caption, text, 2, buttons, nullptr };
    int button = -1;
    if (SDL_ShowMessageBox(&box, &button) < 0) {
        if (why)
            *why = SDL_GetError();
        return Answer::failed;
    }
    if (button == yesButton)
        return Answer::yes;
    if (button == noButton)
        return Answer::no;
    return Answer::dismissed;
}

void showMessage(const char* caption, const char* text, MessageIcon icon, const char* detail)
{
    if (icon != MessageIcon::question)
        writeMessageLine(caption, text, detail);
    SDL_ShowSimpleMessageBox(boxFlags(icon), caption, text, nullptr);
}

} // namespace platform
