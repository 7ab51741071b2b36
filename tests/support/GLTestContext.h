// The headless GL context of the tests (one per test executable), the fixture that
// needs it, and pixels and stack depths read back from it.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace testsupport {

// Makes the headless context current (once, kept to the end of the process) and, where
// glWindow has no surface, attaches a new TestSurface with the frame at glWindow's size.
// Fails the calling test when no context can be made: GL tests never skip silently.
bool ensureGLContext(std::string& error);

class GLTest : public ::testing::Test {
protected:
    // Resets the demo's state (resetDemoState) and attaches a fresh surface on the context.
    void SetUp() override;
};

// The offscreen frame's pixel at (x, y), counted from the lower left.
std::array<int, 3> pixelAt(int x, int y);
int matrixStackDepth(unsigned int stackQuery);

} // namespace testsupport
