// Texture upload and its progress lines on standard output.
#include "render/Texture.h"
#include "support/GLTestContext.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>


class TextureUpload : public testsupport::GLTest {};

TEST_F(TextureUpload, MissingFileLeavesTheLineOpenForTheNext)
{
    const std::string good = testsupport::writeTemporaryFile("good.tga", testsupport::tgaBytes(1, 1, 24, {1, 2, 3}));
    const std::string missing = ::testing::TempDir() + "missing.tga";

    ::testing::internal::CaptureStdout();
    Texture first;
    Texture second;
    EXPECT_FALSE(loadTexture(first, missing.c_str()));
    EXPECT_TRUE(loadTexture(second, good.c_str()));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Loading texture " + missing + "Loading texture " + good + "-> ok\n");
    EXPECT_EQ(first.glName, 0u);
    EXPECT_NE(second.glName, 0u);
}

TEST_F(TextureUpload, ShortFileGeneratesNoTextureName)
{
    const std::string path = testsupport::writeTemporaryFile("short.tga", testsupport::tgaBytes(2, 2, 24, std::vector<unsigned char>(11)));
    GLuint before = 0;
    glGenTextures(1, &before);

    ::testing::internal::CaptureStdout();
    Texture texture;
    EXPECT_FALSE(loadTexture(texture, path.c_str()));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Loading texture " + path);
    EXPECT_EQ(texture.glName, 0u);

    // No name was taken in between.
    GLuint after = 0;
    glGenTextures(1, &after);
    EXPECT_EQ(after, before + 1);
}

// Rows of 3 x 3 bytes are not 4-byte aligned: the upload must still take them as packed.
TEST_F(TextureUpload, TwentyFourBitRowsOfOddLengthArriveIntact)
{
    std::vector<unsigned char> bgr;
    for (int i = 0; i < 3 * 2 * 3; ++i)
        bgr.push_back(static_cast<unsigned char>(10 * i));
    const std::string path = testsupport::writeTemporaryFile("odd.tga", testsupport::tgaBytes(3, 2, 24, bgr));

    ::testing::internal::CaptureStdout();
    Texture texture;
    ASSERT_TRUE(loadTexture(texture, path.c_str()));
    ::testing::internal::GetCapturedStdout();

    GLint format = 0;
    glBindTexture(GL_TEXTURE_2D, texture.glName);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_RGB);
    std::vector<unsigned char> uploaded(18);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, uploaded.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    EXPECT_EQ(uploaded, std::vector<unsigned char>(texture.pixels.get(), texture.pixels.get() + 18));
}
