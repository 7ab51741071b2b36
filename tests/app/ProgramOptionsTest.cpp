#include "app/ProgramOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Parsed {
    bool ok;
    ProgramOptions options;
    std::string error;
};

Parsed parse(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "vorimel");
    Parsed parsed;
    parsed.ok = parseProgramOptions(
        static_cast<int>(arguments.size()), arguments.data(), parsed.options, parsed.error);
    return parsed;
}

TEST(ProgramOptions, NoArgumentsAskAndDrawTheStandardFrame)
{
    const Parsed parsed = parse({});
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.options.screen, ProgramOptions::Screen::ask);
    EXPECT_EQ(parsed.options.height, ProgramOptions::Height::standard);
    EXPECT_FALSE(parsed.options.help);
}

TEST(ProgramOptions, AnswersAndHeightsInEitherSpelling)
{
    Parsed parsed = parse({ "--fullscreen", "--height", "native" });
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.screen, ProgramOptions::Screen::fullscreen);
    EXPECT_EQ(parsed.options.height, ProgramOptions::Height::native);

    parsed = parse({ "--height=1080", "--windowed", "--windowed" });
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.screen, ProgramOptions::Screen::windowed);
    EXPECT_EQ(parsed.options.height, ProgramOptions::Height::fixed);
    EXPECT_EQ(parsed.options.fixedHeight, 1080);

    EXPECT_TRUE(parse({ "-h" }).options.help);
    EXPECT_TRUE(parse({ "--windowed", "--version" }).options.version);
    EXPECT_FALSE(parse({ "--windowed" }).options.version);
}

// Each is refused with a reason that names what was wrong, before any window opens.
TEST(ProgramOptions, RefusesWhatItCannotUse)
{
    const struct {
        std::vector<const char*> arguments;
        const char* named;
    } cases[] = {
        { { "--fulscreen" }, "'--fulscreen'" },
        { { "fullscreen" }, "'fullscreen'" },
        { { "--windowed", "--fullscreen" }, "exclude" },
        { { "--height" }, "needs a value" },
        { { "--height", "1000" }, "'1000'" }, // not a multiple of 6
        { { "--height", "474" }, "'474'" },   // below the standard frame
        { { "--height", "1080p" }, "'1080p'" },
        { { "--height=" }, "''" },
        { { "--height", "99999999999999999999" }, "'99999999999999999999'" },
    };
    for (const auto& c : cases) {
        const Parsed parsed = parse(c.arguments);
        EXPECT_FALSE(parsed.ok) << c.arguments[0];
        EXPECT_NE(parsed.error.find(c.named), std::string::npos) << parsed.error;
    }
}

} // namespace
