#pragma once

// The reference design of the method, shared by the tests and the benchmarks.

#include "design/Calculation.h"

// ρ1 = 60, ρ2 = 40, ψv = 1.65, ψh = 4, H = 2, t = 0.7, Rn = 4, b = 50, L = 3, bs = 40,
// a = 3, ηh = 0.75, ηv = 0.81: the inputs, committed as the pages commit them.
inline DesignRecord ReferenceDesign(Arrangement arrangement = Arrangement::row,
                                    ElectrodeMaterial material = ElectrodeMaterial::angle)
{
    DesignRecord r;
    r.arrangement = arrangement;
    r.electrodeMaterial = material;
    r.upperResistivity = 60;
    r.lowerResistivity = 40;
    r.verticalClimaticCoefficient = 1.65;
    r.horizontalClimaticCoefficient = 4;
    r.upperLayerThickness = 2;
    r.stripDepth = 0.7;
    r.normativeResistance = 4;
    r.angleWidth = 50;
    r.electrodeLength = 3;
    r.stripWidth = 40;
    r.electrodeSpacing = 3;
    r.stripUtilization = 0.75;
    r.electrodeUtilization = 0.81;
    return r;
}

// A design with its results: `change` alters the reference inputs first.
template <typename Change> DesignRecord Computed(Change change)
{
    DesignRecord r = ReferenceDesign();
    change(r);
    CalculateGrounding(r);
    return r;
}

inline DesignRecord Computed()
{
    return Computed([](DesignRecord &) {});
}
