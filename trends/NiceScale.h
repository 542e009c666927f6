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

// low < high; ticks, at least 2, is the number wished for.
NiceScale niceScale(double low, double high, int ticks);
