// A scene that writes every call it gets into a shared log.
#pragma once

#include "render/Effect.h"

#include <string>
#include <vector>

namespace testsupport {

class RecordingScene : public Effect {
public:
    RecordingScene(std::string name, std::vector<std::string>& log)
        : name_(std::move(name))
        , log_(log)
    {
    }
    ~RecordingScene() override { log_.push_back(name_ + ".delete"); }

    // Logs "<name>.draw <seconds> at <order>/<row>", then clears the frame to black
    // and sets the blend function (ONE, ZERO) so that the frame overlay shows fully.
    void draw(float seconds) override;
    void load() override { log_.push_back(name_ + ".load"); }
    void enter() override { log_.push_back(name_ + ".enter"); }
    void release() override { log_.push_back(name_ + ".release"); }
    void leave() override { log_.push_back(name_ + ".leave"); }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

} // namespace testsupport
