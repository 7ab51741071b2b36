// What the program has set up by the time a scene draws: the base frustum of
// the loading screen, the loaded feedback layer with the build colour, and a scripted
// music position. Plus whole-frame read-back for comparing frames.
#pragma once

#include "music/MusicPlayer.h"
#include "render/FeedbackLayer.h"
#include "render/SceneRegistry.h"
#include "support/GLTestContext.h"
#include "support/TestFiles.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace scenetest {

using Frame = std::vector<unsigned char>;

class SceneTest : public testsupport::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        if (HasFatalFailure())
            return;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-1.0, 1.0, -1.0, 1.0, 1.0, 20.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        feedbackLayer->load();
        feedbackLayer->setColor(1.0f, 1.0f, 1.0f, 0.65f);
        musicPlayer.setBackend(&backend);
        musicPlayer.positionScaler = 12;
    }

    void TearDown() override
    {
        feedbackLayer->release();
        musicPlayer.setBackend(nullptr);
    }

    void setMusic(int order, int row, float level = 0.0f)
    {
        backend.setOrderRow(order, row);
        backend.level = level;
        musicPlayer.update();
    }

    // A fresh, transparent copy texture: the next frame has no trails.
    static void clearTrails()
    {
        feedbackLayer->release();
        feedbackLayer->load();
        feedbackLayer->setColor(1.0f, 1.0f, 1.0f, 0.65f);
    }

    static Frame readFrame()
    {
        Frame frame(640 * 480 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, frame.data());
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        return frame;
    }

    // Pixels that differ by more than one step in some channel, within rows [y0, y1).
    static int differingPixels(const Frame& a, const Frame& b, int y0 = 0, int y1 = 480)
    {
        int count = 0;
        for (int p = y0 * 640; p < y1 * 640; ++p)
            for (int c = 0; c < 3; ++c)
                if (std::abs(a[p * 3 + c] - b[p * 3 + c]) > 1) {
                    ++count;
                    break;
                }
        return count;
    }

    // A 2 x 2 opaque picture of one colour, as a TGA file; returns its path.
    static std::string solidPicture(const std::string& name, unsigned char r, unsigned char g, unsigned char b)
    {
        std::vector<unsigned char> pixels(4 * 3);
        for (int i = 0; i < 4; ++i) {
            pixels[i * 3] = b;
            pixels[i * 3 + 1] = g;
            pixels[i * 3 + 2] = r;
        }
        return testsupport::writeTemporaryFile(name, testsupport::tgaBytes(2, 2, 24, pixels));
    }

    testsupport::ScriptedBackend backend;
};

} // namespace scenetest
