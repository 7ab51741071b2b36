// The test executables take the first deliverable's feedback alpha.
#include "app/Loader.h"

const float FEEDBACK_ALPHA = 0.65f;
