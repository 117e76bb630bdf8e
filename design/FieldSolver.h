#pragma once

#include "design/DesignRecord.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The installation computed as a field problem: every rod and the strip split into short
// segments, each leaking a uniform line current into a two-layer earth under insulating air,
// all bonded to one potential. No utilization tables: the geometry actually drawn.

struct FieldPoint {
    double x = 0; // plan, metres
    double y = 0;
    double z = 0; // depth below the surface, metres, positive downwards
};

// A straight conductor: a rod from depth t to t + L, a straight run of the strip.
struct FieldConductor {
    FieldPoint from;
    FieldPoint to;
    double radius = 0;   // metres: a rod's equivalent radius, the strip's b/4
    double climatic = 1; // ψ of the soil around it (ψв for a rod, ψг for the strip)
};

struct FieldSoil {
    double upperResistivity = 0; // ρ1, Ом·м, as measured (ψ is the conductor's)
    double lowerResistivity = 0; // ρ2
    double upperThickness = 0;   // H, metres; 0 or less: uniform ρ2
};

struct FieldProblem {
    std::vector<FieldConductor> conductors;
    FieldSoil soil;
    double maxSegment = 0.5; // metres
};

struct FieldSegment {
    FieldPoint from;
    FieldPoint to;
    double radius = 0;
    double climatic = 1;
    double current = 0; // A, of the whole installation's 1 A
};

struct FieldSolution {
    double resistance = 0; // R = V / I, Ом
    std::vector<FieldSegment> segments;
    FieldSoil soil;
    std::vector<std::string> notes; // coarser segments, a layer ratio near its limit
    // Seconds of the wall clock: the matrix's assembly (with its tables) and its factoring
    // and solution, for the benchmarks.
    double assemblySeconds = 0;
    double solveSeconds = 0;
};

// Why a problem is refused, in Russian, or none.
std::optional<std::string> FieldProblemFault(const FieldProblem &problem);

// Solves `problem` with its currents summing to 1 A. Throws std::invalid_argument with
// FieldProblemFault's message where the problem is refused. `threads` 0: the machine's.
FieldSolution SolveField(const FieldProblem &problem, unsigned threads = 0);

// The decided installation of a computed record (its plan and section, its ψ) as a problem.
FieldProblem FieldProblemOf(const DesignRecord &record);

// The potential at `observer` of 1 A leaving the point `source` in `soil`, В/А: the
// two-layer earth's Green's function the solver integrates (no ψ).
double PointPotential(const FieldSoil &soil, const FieldPoint &observer, const FieldPoint &source);

// The surface potential at (x, y) per ampere of the installation's current, В/А.
double SurfacePotential(const FieldSolution &solution, double x, double y);

// The surface potential over a rectangle, `columns` × `rows` points from (left, top) to
// (right, bottom), row by row, В/А.
struct SurfaceMap {
    double left = 0, top = 0, right = 0, bottom = 0;
    std::size_t columns = 0, rows = 0;
    std::vector<double> potential;
};
SurfaceMap MapSurface(const FieldSolution &solution, double left, double top, double right,
                      double bottom, std::size_t columns, std::size_t rows, unsigned threads = 0);

// The touch and step voltages of a fault current `current` (A) lasting `duration` (s): the
// touch voltage is the rise less the surface potential within 1 m of an electrode (on the
// 1 m rings round the rods' heads and a grid of at most 200 points a side) or anywhere inside
// a closed strip; the step voltage the largest difference over 1 m, in eight directions,
// over the installation and a margin of 5 m or a fifth of its size. The step is held to the
// touch voltage's permitted value, the standard giving none of its own for this case.
struct ContactVoltages {
    double groundPotentialRise = 0; // GPR = I·R, В
    double maxTouchVoltage = 0;     // В
    double maxStepVoltage = 0;      // В
    double permittedTouchVoltage = 0;
    double permittedStepVoltage = 0;
    FieldPoint worstTouch; // on the surface
    FieldPoint worstStep;  // the start of the worst metre
    FieldPoint worstStepEnd;
    // Both within their permitted values: what an installation sized by touch voltage
    // (ПУЭ 1.7.91) must meet.
    bool met = false;
};
ContactVoltages ContactVoltagesOf(const FieldSolution &solution, double current, double duration);

// ГОСТ 12.1.038-82's permissible touch voltage, AC 50 Гц, emergency mode, for a fault
// lasting `duration` seconds, В.
double PermittedTouchVoltage(double duration);
