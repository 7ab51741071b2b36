// Texture upload, and loading with the progress lines on standard output.
#include "render/Texture.h"

#include "platform/DataFile.h"
#include "platform/DataFolder.h"
#include "render/TgaReader.h"

#include <cstdio>

namespace {

const char* glErrorName(GLenum error)
{
    switch (error) {
    case GL_INVALID_ENUM:
        return "GL_INVALID_ENUM";
    case GL_INVALID_VALUE:
        return "GL_INVALID_VALUE";
    case GL_INVALID_OPERATION:
        return "GL_INVALID_OPERATION";
    case GL_OUT_OF_MEMORY:
        return "GL_OUT_OF_MEMORY";
    default:
        return "a GL error";
    }
}

} // namespace

bool uploadTexture(Texture& texture, std::string& reason)
{
    // errors left by earlier calls would read as the upload's: GL keeps at most one
    // flag per kind of error, so a few calls clear them all
    for (int i = 0; i < 8; ++i)
        if (glGetError() == GL_NO_ERROR)
            break;

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    const GLenum format = texture.bitsPerPixel == 24 ? GL_RGB : GL_RGBA;
    // Rows are tightly packed; GL's default 4-byte row alignment would read past the
    // end of a 24-bit picture whose width is not a multiple of four.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), static_cast<GLsizei>(texture.width),
        static_cast<GLsizei>(texture.height), 0, format, GL_UNSIGNED_BYTE, texture.pixels.get());
    const GLenum error = glGetError();
    glPopClientAttrib();

    if (error != GL_NO_ERROR) {
        glDeleteTextures(1, &name);
        texture.pixels.reset();
        reason = std::string("the GL refused the upload (") + glErrorName(error) + ")";
        return false;
    }
    texture.glName = name;
    return true;
}

bool loadTexture(Texture& texture, const char* path)
{
    // the file read may be the installed copy; the progress line names it as the demo does
    const std::string source = platform::dataFilePath(path);
    platform::DataFile file;
    const bool opened = file.open(source.c_str());
    // The line stays open on failure: the next message continues it.
    std::printf("Loading texture %s", path);
    std::fflush(stdout);

    std::string reason = file.error();
    bool done = false;
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    if (!opened) {
        // reason given by the open
    } else if (maxSide <= 0) {
        reason = "there is no GL context to take it";
    } else if (std::FILE* stream = file.releaseToStream()) {
        done = readTga(stream, texture, static_cast<uint32_t>(maxSide), reason)
            && uploadTexture(texture, reason);
        std::fclose(stream);
    } else {
        reason = file.error();
    }
    if (!done) {
        std::fprintf(stderr, "vorimel: cannot load picture %s: %s\n", source.c_str(), reason.c_str());
        return false;
    }

    std::printf("-> ok\n");
    std::fflush(stdout);
    return true;
}
