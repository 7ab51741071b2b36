// The one non-virtual operation of the scene interface.
#include "render/Effect.h"

void Effect::setMusicPosition(int newOrder, int newRow)
{
    order = newOrder;
    row = newRow;
}
