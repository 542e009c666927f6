#include "trends/NiceScale.h"

#include <algorithm>
#include <cmath>

NiceScale niceScale(double low, double high, int ticks) {
    ticks = std::max(2, ticks);
    if (!(high > low) || !std::isfinite(low) || !std::isfinite(high))
        return NiceScale{};
    // From a step a little finer than the range over the ticks, up the 1-2-5 ladder to the
    // first whose whole steps cover the range in at most that many steps.
    const double rough = (high - low) / ticks;
    const int lowest = int(std::floor(std::log10(rough)));
    static const double kMantissas[] = {1, 2, 5};
    for (int exponent = lowest; exponent < lowest + 8; ++exponent) {
        const double power = std::pow(10.0, exponent);
        for (double mantissa : kMantissas) {
            const double step = mantissa * power;
            const double first = std::floor(low / step);
            const double last = std::ceil(high / step);
            if (last - first > ticks)
                continue;
            NiceScale scale;
            scale.min = first * step;
            scale.max = last * step;
            scale.ticks = int(last - first) + 1;
            return scale;
        }
    }
    return NiceScale{low, high, 2};
}

NiceScale valueScale(double low, double high, int ticks) {
    if (!std::isfinite(low) || !std::isfinite(high) || low > high)
        return niceScale(0, 1, ticks);
    const double margin = high > low ? (high - low) * 0.08 : std::max(1.0, std::fabs(high) * 0.05);
    double from = low - margin;
    double to = high + margin;
    if (low >= 0 && from < 0)
        from = 0;
    if (high <= 0 && low < 0 && to > 0)
        to = 0;
    return niceScale(from, to, ticks);
}
