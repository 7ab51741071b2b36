// Size against time of PNG frames at each zlib level: every frame given is decoded and
// encoded again by the capture's own writer at each setting; prints KB a frame, the share
// of the raw pixels and CPU milliseconds a frame. Figures only.
// Usage: png_level_figures FRAME.png...
#include "PngWriter.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

struct Frame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

bool readFrame(const char* path, Frame& frame)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path))
        return false;
    image.format = PNG_FORMAT_RGB;
    frame.width = static_cast<int>(image.width);
    frame.height = static_cast<int>(image.height);
    frame.rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, frame.rgb.data(), 0, nullptr) != 0;
}

double cpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<Frame> frames;
    for (int i = 1; i < argc; ++i) {
        Frame frame;
        if (!readFrame(argv[i], frame)) {
            std::fprintf(stderr, "png_level_figures: cannot read %s\n", argv[i]);
            return 1;
        }
        frames.push_back(std::move(frame));
    }
    if (frames.empty()) {
        std::fprintf(stderr, "usage: png_level_figures FRAME.png...\n");
        return 1;
    }
    double rawBytes = 0.0;
    for (const Frame& frame : frames)
        rawBytes += static_cast<double>(frame.rgb.size());

    struct Setting {
        std::string name;
        int compression;
        bool fastRows;
    };
    std::vector<Setting> settings { { "level 0 (stored)", 0, false } };
    for (int level = 1; level <= 9; ++level)
        settings.push_back({ "level " + std::to_string(level), level, false });
    settings.push_back({ "up filter, Huffman only", 1, true });

    std::printf("%d frames of %dx%d\n", static_cast<int>(frames.size()), frames[0].width, frames[0].height);
    std::printf("%-24s %10s %8s %12s\n", "setting", "KB/frame", "of raw", "CPU ms/frame");
    std::vector<uint8_t> file;
    for (const Setting& setting : settings) {
        double bytes = 0.0;
        double seconds = 0.0;
        for (const Frame& frame : frames) {
            const png::Image image { frame.width, frame.height, 3, frame.rgb.data(), 0, false };
            const double start = cpuSeconds();
            if (!png::encodePng(image, file, setting.compression, setting.fastRows)) {
                std::fprintf(stderr, "png_level_figures: cannot encode at %s\n", setting.name.c_str());
                return 1;
            }
            seconds += cpuSeconds() - start;
            bytes += static_cast<double>(file.size());
        }
        const double count = static_cast<double>(frames.size());
        std::printf("%-24s %10.1f %8.3f %12.2f\n", setting.name.c_str(), bytes / count / 1024.0,
            bytes / rawBytes, 1e3 * seconds / count);
        std::fflush(stdout);
    }
    return 0;
}
