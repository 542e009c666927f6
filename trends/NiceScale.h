#pragma once

// A value axis on round figures: the range widened to whole steps of 1, 2 or 5 times a
// power of ten, and the number of ticks that puts a tick on each step. The same figures
// for a curve that moves within them, so the axis, its labels and the charts' layout
// change only when the curve crosses one.
struct NiceScale {
    double min = 0;
    double max = 1;
    int ticks = 2;
    bool operator==(const NiceScale& o) const { return min == o.min && max == o.max && ticks == o.ticks; }
    bool operator!=(const NiceScale& o) const { return !(*this == o); }
};

// low < high; ticks, at least 2, is the number wished for: the finest step that covers
// [low, high] in at most ticks steps, so the axis holds the range without a wasted step.
NiceScale niceScale(double low, double high, int ticks);

// The axis for values between low and high (low <= high): a small margin on each side, that
// stops at zero when the values do not cross it, so readings of 0 to 50 V get an axis from
// 0, not from -50. No values (low > high, or not finite) give the axis 0 to 1.
NiceScale valueScale(double low, double high, int ticks);
