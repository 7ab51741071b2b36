// The trails: a copy of an earlier frame drawn back translucent and slightly enlarged
// before the new frame is captured again.
#pragma once

#include "render/Effect.h"

#include "platform/GL.h"

class FeedbackLayer : public Effect {
public:
    void draw(float seconds) override;
    void load() override;
    void enter() override { }
    void release() override;

    void setTextureSize(int width, int height);
    GLuint createTexture();
    void setColor(float r, float g, float b, float a);
    // Copies the whole frame (640x480 unless made larger) into the texture's lower left.
    void captureScreen();
    // A texture for the frame's present size, transparent black, in place of the old one.
    void remakeTexture();

    int32_t textureWidth = 0;
    int32_t textureHeight = 0;

    // Shared by the class for the whole run.
    static void resetShared(); // as at program start, no texture
    static GLuint texture;
    static float color[4];
    static GLenum blendSource;
    static GLenum blendDestination;
};
