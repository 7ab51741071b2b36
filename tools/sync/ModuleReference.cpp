// libopenmpt rendering in small steps, so that every row start is found to the frame.
#include "ModuleReference.h"

#include <libopenmpt/libopenmpt.h>

#include <fstream>
#include <iterator>

namespace syncbench {

namespace {

// libopenmpt reports the row of the last tick it processed, and it processes a tick
// when the first frame of it is rendered: read one frame at a time, and the frame
// after which the row changed is the row's first.
constexpr size_t stepFrames = 1;

} // namespace

bool ModuleReference::render(const std::string& path, int sampleRate, int64_t maxFrames, std::string& error)
{
    samples.clear();
    starts.clear();
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file && !file.eof()) {
        error = "cannot read " + path;
        return false;
    }
    int code = OPENMPT_ERROR_OK;
    const char* message = nullptr;
    // as the demo plays it: no fade-out after the last row
    const openmpt_module_initial_ctl ctls[] = { { "play.at_end", "stop" }, { nullptr, nullptr } };
    openmpt_module* module = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), nullptr, nullptr,
        openmpt_error_func_default, nullptr, &code, &message, ctls);
    if (message != nullptr) {
        error = path + ": " + message;
        openmpt_free_string(message);
    }
    if (module == nullptr) {
        if (error.empty()) {
            error = path + ": not a module";
        }
        return false;
    }
    error.clear();

    samples.reserve(static_cast<size_t>(maxFrames));
    int order = -1;
    int row = -1;
    float stereo[2 * stepFrames];
    while (static_cast<int64_t>(samples.size()) < maxFrames) {
        const size_t got
            = openmpt_module_read_interleaved_float_stereo(module, sampleRate, stepFrames, stereo);
        if (got == 0) {
            break; // the module's end
        }
        const int64_t first = static_cast<int64_t>(samples.size());
        for (size_t i = 0; i < got; ++i) {
            samples.push_back(0.5f * (stereo[2 * i] + stereo[2 * i + 1]));
        }
        const int newOrder = openmpt_module_get_current_order(module);
        const int newRow = openmpt_module_get_current_row(module);
        if (newOrder != order || newRow != row) {
            order = newOrder;
            row = newRow;
            starts.push_back(RowStart { order, row, first });
        }
    }
    openmpt_module_destroy(module);
    return true;
}

} // namespace syncbench
