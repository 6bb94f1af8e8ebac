#include "app/turning_resolution.h"

#include <algorithm>
#include <cmath>

namespace orva {

namespace {

// One picture moves the share by at most this factor either way: a frame slowed down by
// something else on the machine does not throw the resolution to its least at once.
constexpr double kLargestStep = 2.0;

}  // namespace

double NextTurningFraction(double fraction, double frameMilliseconds, double targetMilliseconds) {
    const double current = std::clamp(fraction, kTurningLeastFraction, 1.0);
    if (!(frameMilliseconds > 0.0) || !(targetMilliseconds > 0.0)) {
        return std::clamp(current * kLargestStep, kTurningLeastFraction, 1.0);
    }
    const double step = std::clamp(std::sqrt(targetMilliseconds / frameMilliseconds),
                                   1.0 / kLargestStep, kLargestStep);
    return std::clamp(current * step, kTurningLeastFraction, 1.0);
}

CTurningSize TurningPictureSize(int width, int height, double fraction) {
    const double side = std::sqrt(std::clamp(fraction, 0.0, 1.0));
    const auto scaled = [side](int length) {
        return std::max(1, static_cast<int>(std::lround(std::max(length, 0) * side)));
    };
    return {scaled(width), scaled(height)};
}

}  // namespace orva
