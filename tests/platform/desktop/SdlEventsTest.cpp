// SDL events become the window procedure's rows: quit, the keys the main loop acts on,
// minimised, every other activation change.
#include "platform/desktop/SdlEvents.h"
#include "app/MainLoop.h"

#include <gtest/gtest.h>

#include <utility>

using platform::WindowEvent;
using Type = platform::WindowEvent::Type;

namespace {

SDL_Event keyEvent(Uint32 type, SDL_Keycode key, bool repeat = false)
{
    SDL_Event event {};
    event.type = type;
    event.key.keysym.sym = key;
    event.key.repeat = repeat ? 1 : 0;
    return event;
}

SDL_Event windowEvent(Uint8 which)
{
    SDL_Event event {};
    event.type = SDL_WINDOWEVENT;
    event.window.event = which;
    return event;
}

} // namespace

TEST(SdlEvents, EscapeAndSpaceArriveAsTheKeysTheMainLoopActsOnAndRepeatSetsThemAgain)
{
    for (const auto& [sdl, code] :
        { std::pair { SDLK_ESCAPE, escapeKey }, std::pair { SDLK_SPACE, spaceKey } }) {
        WindowEvent event {};
        ASSERT_TRUE(platform::translateEvent(keyEvent(SDL_KEYDOWN, sdl), false, event));
        EXPECT_EQ(event.type, Type::keyDown);
        EXPECT_EQ(event.key, code);
        ASSERT_TRUE(platform::translateEvent(keyEvent(SDL_KEYDOWN, sdl, true), false, event));
        EXPECT_EQ(event.type, Type::keyDown);
        ASSERT_TRUE(platform::translateEvent(keyEvent(SDL_KEYUP, sdl), false, event));
        EXPECT_EQ(event.type, Type::keyUp);
        EXPECT_EQ(event.key, code);
    }
    WindowEvent event {};
    EXPECT_FALSE(platform::translateEvent(keyEvent(SDL_KEYDOWN, SDLK_CAPSLOCK), false, event));
}

TEST(SdlEvents, OnlyAMinimisedWindowIsInactive)
{
    const struct {
        Uint8 sdl;
        bool minimised;
        Type expected;
    } rows[] = {
        { SDL_WINDOWEVENT_MINIMIZED, true, Type::minimised },
        { SDL_WINDOWEVENT_RESTORED, false, Type::activated },
        { SDL_WINDOWEVENT_FOCUS_LOST, false, Type::activated }, // a window in the background keeps drawing
        { SDL_WINDOWEVENT_FOCUS_LOST, true, Type::minimised },
        { SDL_WINDOWEVENT_FOCUS_GAINED, false, Type::activated },
        { SDL_WINDOWEVENT_CLOSE, false, Type::quit },
    };
    for (const auto& row : rows) {
        WindowEvent event {};
        ASSERT_TRUE(platform::translateEvent(windowEvent(row.sdl), row.minimised, event)) << int(row.sdl);
        EXPECT_EQ(event.type, row.expected) << int(row.sdl);
    }

    SDL_Event quit {};
    quit.type = SDL_QUIT;
    WindowEvent event {};
    ASSERT_TRUE(platform::translateEvent(quit, false, event));
    EXPECT_EQ(event.type, Type::quit);
}
