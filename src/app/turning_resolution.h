#pragma once

namespace orva {

// The share of the view's pixels a picture rendered while the view turns starts with, and the
// least it goes down to: below an eighth the picture is too coarse to be worth rendering.
inline constexpr double kTurningStartFraction = 0.25;
inline constexpr double kTurningLeastFraction = 0.125;

// The share of the pixels for the next picture of a turn, from the share of the last one and
// how long it took: moved toward the share that would take `targetMilliseconds`, kept between
// kTurningLeastFraction and 1. A picture's time grows with its pixels, but not in proportion
// (each picture plans its solid whatever its size), so the step goes half the way, in ratio,
// and a frame that took no measurable time moves the share no more than a slow one does.
double NextTurningFraction(double fraction, double frameMilliseconds, double targetMilliseconds);

struct CTurningSize {
    int width = 1;
    int height = 1;
};

// The picture size holding `fraction` of the pixels of a view `width` x `height`, the same
// shape, at least 1 x 1.
CTurningSize TurningPictureSize(int width, int height, double fraction);

}  // namespace orva
