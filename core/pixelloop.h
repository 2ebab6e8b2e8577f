#pragma once

// Marks a function made of pixel loops. Their comparisons decide nothing the fuzz targets could
// learn from, and tracing each of them would make one giant picture take a fuzz target's whole
// time; so the coverage that guides fuzzing leaves them out.
#if defined(__clang__)
#define ORV_PIXEL_LOOP __attribute__((no_sanitize("coverage")))
#else
#define ORV_PIXEL_LOOP
#endif
