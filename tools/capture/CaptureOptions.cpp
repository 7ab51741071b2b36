// Options as "--name value" or "--name=value".
#include "CaptureOptions.h"

#include <cerrno>
#include <cstdlib>

namespace {

constexpr int lastOrder = CaptureOptions::lastOrder;

// A whole number in [low, high], nothing else in the text.
bool parseInt(const std::string& text, int low, int high, int& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

} // namespace

bool parseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options, std::string& error)
{
    for (int i = 0; i < argc; ++i) {
        std::string name = argv[i];
        std::string value;
        bool hasValue = false;
        const size_t equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            hasValue = true;
        }

        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (name == "--version") {
            options.version = true;
            continue;
        }
        if (name == "--loading") {
            if (hasValue) {
                error = "--loading takes no value";
                return false;
            }
            options.loading = true;
            continue;
        }
        const bool known = name == "--variant" || name == "--fps" || name == "--frames" || name == "--audio"
            || name == "--video" || name == "--height" || name == "--until";
        if (name == "--scale") {
            // the pixel repeat it made gave way to frames drawn at the size asked for
            error = "--scale is gone: --height H draws the frames natively at 4H/3 x H (--height "
                + std::to_string(2 * baseFrameHeight) + " for twice " + std::to_string(baseFrameWidth) + "x"
                + std::to_string(baseFrameHeight) + ")";
            return false;
        }
        if (!known) {
            error = "unknown option " + name;
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= argc) {
                error = name + " needs a value";
                return false;
            }
            value = argv[++i];
        }

        if (name == "--variant") {
            if (value != "a" && value != "b") {
                error = "--variant is a or b, not " + value;
                return false;
            }
            options.variant = value[0];
        } else if (name == "--fps") {
            if (!parseInt(value, 1, 1000, options.fps)) {
                error = "--fps is a whole number from 1 to 1000, not " + value;
                return false;
            }
        } else if (name == "--height") {
            // the GL's own limits are checked once there is a context
            if (!parseFrameHeight(value, options.height)) {
                error = "--height is " + frameHeightRule() + ", not " + value;
                return false;
            }
        } else if (name == "--until") {
            if (!parseInt(value, 1, lastOrder, options.until)) {
                error = "--until is a music order from 1 to 14, not " + value;
                return false;
            }
        } else if (value.empty()) {
            error = name + " needs a file or folder name";
            return false;
        } else if (name == "--frames") {
            options.framesDir = value;
        } else if (name == "--audio") {
            options.audioPath = value;
        } else {
            options.videoPath = value;
        }
    }
    return true;
}

std::string captureUsage()
{
    return std::string(
               "usage: vorimel-capture [options]\n"
               "Renders the demo offline, frame by frame, with its music in lockstep: no display,\n"
               "no sound card. Like the program, it reads data/ in the working folder where there\n"
               "is one (a build folder), otherwise the data installed with it. Its output files\n"
               "are named relative to the working folder.\n"
               "\n"
               "  --variant a|b     feedback alpha 0.65 (a, as vorimel) or 0.99 (b, as vorimel_b); default "
               "a\n"
               "  --fps N           frames per second of the capture, 1 to 1000; default 60\n"
               "  --frames DIR      write every frame as DIR/000000.png, DIR/000001.png, ...\n"
               "  --audio FILE.wav  write the music the frames were cut to (16-bit stereo, 44100 Hz)\n"
               "  --video FILE.mp4  write H.264 + AAC video through ffmpeg (must be on PATH)\n"
               "  --height H        draw every frame natively at 4H/3 x H (PNG frames and video), H\n"
               "                    ")
        + frameHeightRule() + " to what the GL allows; default " + std::to_string(baseFrameHeight)
        + ".\n"
          "                    Point sizes and line widths grow with H (rounded to whole pixels),\n"
          "                    everything else is drawn in GL units: the same picture, sharper.\n"
          "                    1080 gives 1440x1080, 2160 gives 2880x2160\n"
          "  --until ORDER     stop earlier, at the first frame whose music order is ORDER or\n"
          "                    later, 1 to 13; 14, the default, ends where the program ends:\n"
          "                    at order 14, or where the music ends if it ends before that\n"
          "  --loading         also write the loading screen first: each loading frame lasts\n"
          "                    until the next on the loader's clock, rounded up to whole frames,\n"
          "                    with silence; the demo's frames and sound that follow are the\n"
          "                    same as without it\n"
          "  --help            this text\n"
          "  --version         the program's name and version\n"
          "\n"
          "Frame n of the demo is drawn at n/fps seconds after the music starts, with the order,\n"
          "row and spectrum of the music at that instant; the audio holds exactly the samples\n"
          "of the frames written. Without any output option the frames are only rendered.\n"
          "On a terminal a progress bar runs on stderr; otherwise one summary line is printed.\n"
          "\n"
          "Each output file gets its name only when it is complete (a frame when written, the\n"
          "WAV and MP4 files at the end); a capture that fails or is stopped with Ctrl-C or\n"
          "SIGTERM removes its unfinished files, and keeps the frames written so far.\n"
          "\n"
          "Exit status: 0 done (also when the music ended early), 1 bad options, 2 the capture\n"
          "failed, 3 --video without ffmpeg, 130 stopped by SIGINT, 143 stopped by SIGTERM.\n";
}
