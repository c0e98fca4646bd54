#pragma once
// A band's six tool stages in two passes: invert, swap and mono recovery (StereoTool);
// then width (StereoProcessor), panorama (Panpot, unsmoothed) and mono audition
// (StereoTool::extractMono). Each pass is compiled for its combination of stages, so a
// frame meets exactly the stages that are on, each with its own operations in its own
// order: the result is bit-identical to the stages' separate passes, with a third of the
// loads and stores. Render thread; no allocation.
#include <cstdint>

// recoverAmount is StereoTool's fAmount.
void channelTools(float* left, float* right, int64_t frames, bool invert, bool swap, bool recoverMono,
                  float recoverAmount);
// width: StereoProcessor's adjustment (-1..1, 0 neutral); pan: Panpot's value (-1..1).
void imageTools(float* left, float* right, int64_t frames, float width, float pan, bool testMono);
