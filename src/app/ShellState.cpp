// The shell's state as at program start.
#include "app/ShellState.h"

#include <algorithm>
#include <iterator>

unsigned char active = 1;
unsigned char keys[256] = {};
unsigned char keyPresses[256] = {};

int32_t loaded = 0;
int loadResult = 0;
Texture logoTexture;

void resetShellState()
{
    active = 1;
    std::fill(std::begin(keys), std::end(keys), 0);
    std::fill(std::begin(keyPresses), std::end(keyPresses), 0);
    loaded = 0;
    loadResult = 0;
    logoTexture = Texture {};
}
