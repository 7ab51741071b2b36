// The build's only difference: the alpha with which the feedback layer draws its copy.
#include "app/Loader.h"

const float FEEDBACK_ALPHA = VORIMEL_FEEDBACK_ALPHA;
