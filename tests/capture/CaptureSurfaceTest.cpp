// Frames read one frame late come back in the order they were drawn, each with its
// own pixels, byte for byte as an immediate read gives them.
#include "CaptureSurface.h"

#include "platform/GL.h"
#include "render/FrameSize.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Kept to the end of the process, as the capture keeps its own: Mesa leaks a little
// when a context is torn down, which the sanitizer build would report.
CaptureSurface* theSurface()
{
    static CaptureSurface* surface = [] {
        std::string error;
        std::unique_ptr<CaptureContext> context
            = CaptureContext::create(baseFrameWidth, baseFrameHeight, error);
        if (!context)
            ADD_FAILURE() << "no headless GL context: " << error;
        return context ? new CaptureSurface(std::move(context)) : nullptr;
    }();
    return surface;
}

// A frame that differs from row to row and from frame to frame: a clear in the
// frame's shade, and a band across the lower rows.
void drawFrame(int frame, int width, int height)
{
    glDisable(GL_SCISSOR_TEST);
    glClearColor(static_cast<float>(frame) / 8.0f, 0.25f, 1.0f - static_cast<float>(frame) / 8.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, width, height / 3 + frame);
    glClearColor(1.0f, 0.5f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

TEST(CaptureSurface, ReadsFetchedLateComeBackInOrderAsDrawn)
{
    CaptureSurface* surface = theSurface();
    ASSERT_NE(surface, nullptr);
    for (const int height : { 480, 960 }) {
        ASSERT_TRUE(surface->resizeFrame(height * 4 / 3, height));
        const int width = surface->frameWidth();
        std::vector<std::vector<uint8_t>> drawn;
        std::vector<std::vector<uint8_t>> fetched;
        std::vector<uint8_t> out(surface->frameBytes());
        EXPECT_FALSE(surface->finishRead(out.data())) << "a read fetched before any began";
        for (int frame = 0; frame < 5; ++frame) {
            drawFrame(frame, width, height);
            drawn.emplace_back(surface->frameBytes());
            surface->readPixels(drawn.back().data());
            surface->startRead();
            if (surface->readsPending() > 1) { // fetched once the next frame is drawn
                ASSERT_TRUE(surface->finishRead(out.data()));
                fetched.push_back(out);
            }
        }
        while (surface->finishRead(out.data()))
            fetched.push_back(out);
        ASSERT_EQ(fetched.size(), drawn.size()) << height;
        EXPECT_NE(drawn[0], drawn[1]);
        for (size_t n = 0; n < drawn.size(); ++n)
            EXPECT_TRUE(fetched[n] == drawn[n]) << "frame " << n << " at " << height;
    }
}

} // namespace
