#pragma once

#include <functional>

// An installation of `count` electrodes joined by the strip that joins exactly them.
struct Installation {
    double count = 0;
    double stripLength = 0;     // row (n − 1)·a, contour n·a; 1 m where that is 0
    double stripResistance = 0; // Rs(n), the strip's own resistance
    double resistance = 0;      // R(n), the finished installation
    // The method's formulas hold for it: no part of it has a resistance of 0 or below.
    bool holds = true;
};

// Whether an installation's resistance reaches the norm (and is a resistance at all, of
// parts that are).
bool MeetsNorm(const Installation &installation, double norm);

// The finished installation of a count of electrodes, as a method works it out; throws
// ArithmeticError like every step of a calculation.
using InstallationOfCount = std::function<Installation(double count)>;

// The decision of a sizing: the installation taken, and the count below it, tried and
// failed (count 0 where one electrode is taken or nothing below it was tried).
struct Sizing {
    Installation decided;
    Installation fewer;
    bool met = false; // the decided installation meets the norm
};

// The smallest count, `leastCount` at the least, whose installation meets `norm`, for any
// way of computing an installation whose resistance falls as electrodes are added.
// `estimate` is a count that meets the norm on its electrodes alone (the strip only
// helps); where neither it nor the count above it meets the norm, no count is looked for
// and `met` is false.
Sizing SmallestCountMeetingNorm(const InstallationOfCount &installationOf, double norm,
                                double estimate, double leastCount = 1);
