// The recording scene's draw.
#include "support/RecordingScene.h"

#include <GL/gl.h>

namespace testsupport {

void RecordingScene::draw(float seconds)
{
    log_.push_back(name_ + ".draw " + std::to_string(seconds) + " at " + std::to_string(order) + "/"
        + std::to_string(row));
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glBlendFunc(GL_ONE, GL_ZERO);
}

} // namespace testsupport
