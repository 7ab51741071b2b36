// Texture upload and its progress lines on standard output.
#include "render/Texture.h"
#include "support/GLTestContext.h"
#include "support/TestFiles.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

class TextureUpload : public testsupport::GLTest {
protected:
    const testsupport::TestFolder files;
};

TEST_F(TextureUpload, MissingFileLeavesTheLineOpenForTheNext)
{
    const std::string good = files.write("good.tga", testsupport::tgaBytes(1, 1, 24, { 1, 2, 3 }));
    const std::string missing = files / "missing.tga";

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
    const std::string path
        = files.write("short.tga", testsupport::tgaBytes(2, 2, 24, std::vector<unsigned char>(11)));
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
    const std::string path = files.write("odd.tga", testsupport::tgaBytes(3, 2, 24, bgr));

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

// Nothing that stands at a picture's path blocks or is taken: each failure leaves the
// progress line as it is and names the file and the reason on stderr.
TEST_F(TextureUpload, AFailedPictureIsNamedOnStderrWithItsReason)
{
    const std::string fifo = files / "fifo.tga";
    const std::string folder = files / "folder.tga";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    // larger than any GL takes, and holding only three bytes of its pixels
    const std::string huge = files.write("huge.tga", testsupport::tgaBytes(65535, 2, 32, { 1, 2, 3 }));

    const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        { fifo, "a FIFO, not a regular file" },
        { folder, "a directory, not a regular file" },
        { huge, "65535x2 pixels, more than the " },
    };
    for (const auto& c : cases) {
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        Texture texture;
        EXPECT_FALSE(loadTexture(texture, c.path.c_str()));
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Loading texture " + c.path);
        const std::string error = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(error.rfind("vorimel: cannot load picture " + c.path + ": " + c.reason, 0), 0u) << error;
        EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
        EXPECT_EQ(texture.glName, 0u);
    }
}

TEST_F(TextureUpload, AnUploadTheGLRefusesFailsAndKeepsTheName)
{
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    ASSERT_GT(maxSide, 0);
    Texture wide;
    wide.width = static_cast<uint32_t>(maxSide) + 1;
    wide.height = 1;
    wide.bitsPerPixel = 24;
    wide.pixels.reset(new unsigned char[3 * wide.width]());
    wide.glName = 77;
    std::string reason;
    EXPECT_FALSE(uploadTexture(wide, reason));
    EXPECT_EQ(reason, "the GL refused the upload (GL_INVALID_VALUE)");
    EXPECT_EQ(wide.glName, 77u);
    EXPECT_EQ(wide.pixels, nullptr);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // an error left by someone else is not taken for the upload's
    glEnable(0x1234);
    ASSERT_NE(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glEnable(0x1234);
    Texture small;
    small.width = small.height = 1;
    small.bitsPerPixel = 32;
    small.pixels.reset(new unsigned char[4]());
    EXPECT_TRUE(uploadTexture(small, reason)) << reason;
    EXPECT_NE(small.glName, 0u);
}
