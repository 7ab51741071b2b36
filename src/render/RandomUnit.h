// The demo's one random sequence: a fixed linear congruential generator, never reseeded.
#pragma once

// The next number of the sequence, in [0, 1), in double precision: the largest value,
// 0.9999999990686774, would round to 1.0 as a float.
double randomUnit();
