#include "trends/NiceScale.h"

#include <algorithm>
#include <cmath>

namespace {

// 1, 2, 5 or 10 times the power of ten below x: the next at or above it (ceiling) or the nearest.
double niceNumber(double x, bool ceiling) {
    const double power = std::pow(10.0, std::floor(std::log10(x)));
    const double q = x / power;
    double nice;
    if (ceiling)
        nice = q <= 1.0 ? 1 : q <= 2.0 ? 2 : q <= 5.0 ? 5 : 10;
    else
        nice = q < 1.5 ? 1 : q < 3.0 ? 2 : q < 7.0 ? 5 : 10;
    return nice * power;
}

} // namespace

NiceScale niceScale(double low, double high, int ticks) {
    ticks = std::max(2, ticks);
    if (!(high > low) || !std::isfinite(low) || !std::isfinite(high))
        return NiceScale{};
    const double step = niceNumber(niceNumber(high - low, true) / (ticks - 1), false);
    const double first = std::floor(low / step);
    const double last = std::ceil(high / step);
    NiceScale scale;
    scale.min = first * step;
    scale.max = last * step;
    scale.ticks = int(last - first) + 1;
    return scale;
}
