#include "design/FieldSolver.h"

#include "design/Calculation.h"
#include "design/InstallationGeometry.h"
#include "design/NumberFormat.h"
#include "design/SeriesTail.h"

#include <Eigen/Cholesky>
#include <Eigen/Core>
#include <cblas.h>
#include <dlfcn.h>
#include <f77blas.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <mutex>
#include <numbers>
#include <stdexcept>
#include <thread>

// The point source of a two-layer earth under insulating air. Depths z (observer) and h
// (source) positive downwards, the upper layer ρ1 from 0 to H, the lower ρ2 below it,
// K = (ρ2 − ρ1)/(ρ2 + ρ1), r(v) = √(ϱ² + v²) with ϱ the horizontal distance. The air
// mirrors every source in the surface with weight 1, the boundary with weight K seen from
// above and −K from below; repeating the two mirrors gives images 2nH apart, and matching
// the potential and the normal current at z = H gives their weights. Per ampere:
//   both upper:  ρ1/4π·[1/r(z−h) + 1/r(z+h)
//                       + Σₙ≥1 Kⁿ (1/r(z−h+2nH) + 1/r(z+h+2nH) + 1/r(z−h−2nH) + 1/r(z+h−2nH))]
//   source upper, observer lower:  ρ1(1+K)/4π·Σₙ≥0 Kⁿ (1/r(z−h+2nH) + 1/r(z+h+2nH))
//   source lower, observer upper:  ρ2(1−K)/4π·Σₙ≥0 Kⁿ (1/r(h−z+2nH) + 1/r(h+z+2nH))
//   both lower:  ρ2/4π·[1/r(z−h) − K/r(z+h−2H) + (1−K²) Σₙ≥0 Kⁿ/r(z+h+2nH)]
// At z = H the first two agree term by term (continuity); ρ1(1+K) = ρ2(1−K) = 2ρ1ρ2/(ρ1+ρ2),
// so swapping z and h maps the two mixed cases onto each other (reciprocity), and the two
// pure ones onto themselves. K = 0 leaves 1/r(z−h) + 1/r(z+h): the uniform earth; H → 0
// turns the last into ρ2's uniform earth, since (1−K²)/(1−K) − K = 1.
//
// Each image is a point at depth σh + c. A segment's images are segments, so each term
// integrates along the source in closed form: ∫ds/R = asinh((ℓ−a)/d) + asinh(a/d), written
// as ln((Ra + Rb + ℓ)/(Ra + Rb − ℓ)), which keeps its digits on the axis too. The observer
// takes the average over its own length: exactly (a double integral in closed form) where
// the two are parallel, as every rod is to every rod and to their images; by Gauss points
// along it otherwise; by the midpoints with their second-order correction where the image is
// far. The current sits on the conductor's surface: the distance between axes is taken as
// √(d² + ri·rj), which gives a segment its own potential at its surface and keeps the matrix
// symmetric.
//
// ψ: the seasons dry or freeze the soil round a conductor. The coefficient method multiplies
// each kind of electrode's own resistance by its ψ (ψв the rods', ψг the strip's) and joins
// the two by utilization coefficients of the soil as measured. Here likewise: the potential
// coefficients among segments of one kind are multiplied by its ψ, those between kinds are
// the measured soil's. So a lone rod, or rods alone, have exactly ψв times their
// resistance; the matrix stays symmetric, all conductors keep one potential, and since each
// kind's block only grows with its ψ, so does R. (Scaling pair by pair with √(ψi·ψj) holds
// the kinds at potentials apart, and with ψг well above ψв the strip would draw current
// back and R fall as ψг rose.) As the coefficient method puts ψв on ρ1 only, segments
// below the upper layer take ψ = 1, a kind of their own.

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kSeriesTolerance = 1e-9;
// Past this many terms the image series is summed in closed form.
constexpr int kDirectTerms = 128;
// Beyond this count the matrix (8·n² bytes) and its factoring grow out of a desktop's
// reach: the segments are lengthened to fit, with a note.
constexpr std::size_t kComfortableSegments = 5000;
constexpr std::size_t kMaxSegments = 20000;
constexpr double kMaxLayerRatio = 1e4;
// From this many segments on the factoring takes the caller's threads.
constexpr Eigen::Index kThreadedFactoring = 2000;
// An image this many segment lengths away is taken by its midpoints.
constexpr double kFarRatio = 2;

struct Vec {
    double x = 0, y = 0, z = 0;
};
Vec operator-(Vec a, Vec b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec operator+(Vec a, Vec b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec operator*(double s, Vec a)
{
    return {s * a.x, s * a.y, s * a.z};
}
double Dot(Vec a, Vec b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec VecOf(const FieldPoint &p)
{
    return {p.x, p.y, p.z};
}

enum class Layers { uniform, upperUpper, sourceUpper, sourceLower, lowerLower };

// A segment ready for the kernel.
struct Piece {
    Vec a, b, mid, u; // ends, middle, unit direction
    double length = 0;
    double radius = 0;
    double psi = 1;
    bool lower = false;
};

// A segment's image at depth σ·z + c.
struct Image {
    Vec a, mid, u;
    double length;
};
Image ImageOf(const Piece &p, double sigma, double c)
{
    return {{p.a.x, p.a.y, sigma * p.a.z + c},
            {p.mid.x, p.mid.y, sigma * p.mid.z + c},
            {p.u.x, p.u.y, sigma * p.u.z},
            p.length};
}

struct Soil {
    double rho1 = 0, rho2 = 0, thickness = 0, k = 0;
    bool uniform = true;
};

Soil SoilOf(const FieldSoil &s)
{
    Soil soil{s.upperResistivity, s.lowerResistivity, s.upperThickness, 0, true};
    if (s.upperThickness > 0) {
        soil.uniform = false;
        soil.k =
            (s.lowerResistivity - s.upperResistivity) / (s.lowerResistivity + s.upperResistivity);
    }
    return soil;
}

Layers LayersOf(const Soil &soil, bool observerLower, bool sourceLower)
{
    if (soil.uniform) return Layers::uniform;
    if (observerLower && sourceLower) return Layers::lowerLower;
    if (sourceLower) return Layers::sourceLower;
    if (observerLower) return Layers::sourceUpper;
    return Layers::upperUpper;
}

// ρ of the 1/4π in front of the series.
double Prefactor(const Soil &soil, Layers layers)
{
    switch (layers) {
    case Layers::uniform:
        return soil.rho2;
    case Layers::upperUpper:
        return soil.rho1;
    case Layers::sourceUpper:
        return soil.rho1 * (1 + soil.k);
    case Layers::sourceLower:
        return soil.rho2 * (1 - soil.k);
    case Layers::lowerLower:
        break;
    }
    return soil.rho2;
}

// The images of order n (fractional in the tail) without Kⁿ: term(σ, c) of the image at
// depth σ·h + c.
template <class Term> auto Group(const Soil &soil, Layers layers, double n, Term term)
{
    const double c = 2 * n * soil.thickness;
    switch (layers) {
    case Layers::uniform:
        if (n != 0) return decltype(term(1, 0)){};
        return term(1, 0) + term(-1, 0);
    case Layers::upperUpper:
        if (n == 0) return term(1, 0) + term(-1, 0);
        return term(1, -c) + term(-1, -c) + term(1, c) + term(-1, c);
    case Layers::sourceUpper:
        return term(1, -c) + term(-1, -c);
    case Layers::sourceLower:
        return term(1, c) + term(-1, -c);
    case Layers::lowerLower:
        break;
    }
    const double kk = 1 - soil.k * soil.k;
    if (n == 0) return term(1, 0) - soil.k * term(-1, 2 * soil.thickness) + kk * term(-1, 0);
    return kk * term(-1, -c);
}

// Σₙ Kⁿ·Group(n): term by term while quick, the tail of |K| near 1 in closed form with the
// images taken by their midpoints. `knee`: the order past which the images lie below the
// pair rather than beside it.
template <class Near, class Far>
double Series(const Soil &soil, Layers layers, Near near, Far far, double knee)
{
    double sum = Group(soil, layers, 0, near);
    if (layers == Layers::uniform || soil.k == 0) return sum;
    const double magnitude = std::fabs(soil.k);
    double power = 1;
    for (int n = 1; n <= kDirectTerms; ++n) {
        power *= soil.k;
        const double term = power * Group(soil, layers, n, near);
        sum += term;
        // The terms fall at least as fast as |K|ⁿ, so the rest is below term/(1 − |K|).
        if (std::fabs(term) <= kSeriesTolerance * (1 - magnitude) * std::fabs(sum)) return sum;
    }
    return sum + PowerSeriesTail(
                     soil.k, kDirectTerms + 1,
                     [&](double n) { return Group(soil, layers, n, far); },
                     std::max(0.0, knee - kDirectTerms), kSeriesTolerance, std::fabs(sum));
}

// √(x² + d²) − x without losing digits for x > 0.
double Excess(double x, double d2)
{
    const double r = std::sqrt(x * x + d2);
    return x > 0 ? d2 / (r + x) : r - x;
}

// ∫ ds/R along a segment from `a` in direction `u`, `length` long, seen from `p`, the
// distance between axes widened by `spread²`.
double LineIntegral(Vec p, Vec a, Vec u, double length, double spread2)
{
    const Vec w = p - a;
    const double along = Dot(w, u);
    const Vec across = w - along * u;
    const double d2 = Dot(across, across) + spread2;
    const double ra = std::sqrt(along * along + d2);
    const double rb = std::sqrt((length - along) * (length - along) + d2);
    const double low = Excess(along, d2) + Excess(length - along, d2); // Ra + Rb − ℓ
    if (low <= 0) return 0;
    return std::log((ra + rb + length) / low);
}

// x·asinh(x/d) − √(x² + d²): the double integral of 1/R over two parallel lines d apart.
double Primitive(double x, double d)
{
    return x * std::asinh(x / d) - std::sqrt(x * x + d * d);
}

// The mean of 1/R over two segments, the observer's ends `a` + [0, `length`]·`u`: the
// average over the observer of the source's line integral, divided by the source's length.
double MeanInverseDistance(const Piece &obs, const Image &src, double spread2)
{
    const Vec gap = obs.mid - src.mid;
    const double distance2 = Dot(gap, gap);
    const double reach = kFarRatio * (obs.length + src.length);
    if (distance2 > reach * reach) {
        // ⟨1/R⟩ over s ∈ ±ℓ/2 along u is 1/D + ℓ²/24·(3 cos² − 1)/D³ to second order.
        const double inverse = 1 / std::sqrt(distance2);
        const double ci = Dot(obs.u, gap) * inverse;
        const double cj = Dot(src.u, gap) * inverse;
        const double correction = obs.length * obs.length * (3 * ci * ci - 1) +
                                  src.length * src.length * (3 * cj * cj - 1);
        return inverse * (1 + correction * inverse * inverse / 24);
    }
    const double cosine = Dot(obs.u, src.u);
    if (std::fabs(std::fabs(cosine) - 1) < 1e-12) {
        // Parallel: ∫∫ = F(b1−a2) − F(a1−a2) − F(b1−b2) + F(a1−b2) along the common axis.
        const Vec w = src.a - obs.a;
        double a2 = Dot(w, obs.u);
        double b2 = a2 + cosine * src.length;
        if (b2 < a2) std::swap(a2, b2);
        const Vec perpendicular = w - Dot(w, obs.u) * obs.u;
        const double d = std::sqrt(Dot(perpendicular, perpendicular) + spread2);
        const double b1 = obs.length;
        const double twice =
            Primitive(b1 - a2, d) - Primitive(-a2, d) - Primitive(b1 - b2, d) + Primitive(-b2, d);
        return twice / (obs.length * src.length);
    }
    // Six Gauss points along the observer.
    constexpr double nodes[] = {0.2386191860831969, 0.6612093864662645, 0.9324695142031521};
    constexpr double weights[] = {0.4679139345726910, 0.3607615730481386, 0.1713244923791704};
    double sum = 0;
    for (int i = 0; i < 3; ++i)
        for (const double sign : {-1.0, 1.0}) {
            const Vec p = obs.a + (obs.length * (1 + sign * nodes[i]) / 2) * obs.u;
            sum += weights[i] * LineIntegral(p, src.a, src.u, src.length, spread2);
        }
    return sum / (2 * src.length);
}

// The mean of 1/R with both taken at their midpoints: the tail's far images.
double FarInverseDistance(const Piece &obs, const Image &src)
{
    const Vec gap = obs.mid - src.mid;
    return 1 / std::sqrt(Dot(gap, gap));
}

// ψ of a pair: that of their soil where both lie in the same (ψв round the rods in the upper
// layer, ψг round the strip), none between kinds.
double SharedClimatic(const Piece &a, const Piece &b)
{
    return a.psi == b.psi ? a.psi : 1;
}

// G[i][j]: the mean potential over segment i of 1 A leaving segment j, ψ included.
double MutualPotential(const Soil &soil, const Piece &obs, const Piece &src)
{
    const Layers layers = LayersOf(soil, obs.lower, src.lower);
    const double spread2 = obs.radius * src.radius;
    const auto near = [&](double sigma, double c) {
        return MeanInverseDistance(obs, ImageOf(src, sigma, c), spread2);
    };
    const auto far = [&](double sigma, double c) {
        return FarInverseDistance(obs, ImageOf(src, sigma, c));
    };
    const Vec gap = obs.mid - src.mid;
    const double knee = (std::hypot(gap.x, gap.y) + obs.length + src.length) / (2 * soil.thickness);
    const double psi = SharedClimatic(obs, src);
    return psi * Prefactor(soil, layers) / (4 * kPi) * Series(soil, layers, near, far, knee);
}

// The potential at a point of the surface of 1 A leaving a segment, ψ included.
double SurfaceTerm(const Soil &soil, const Piece &src, double x, double y)
{
    const Layers layers = LayersOf(soil, false, src.lower);
    const Vec p{x, y, 0};
    const auto near = [&](double sigma, double c) {
        const Image image = ImageOf(src, sigma, c);
        const Vec gap = p - image.mid;
        const double distance2 = Dot(gap, gap);
        const double reach = kFarRatio * src.length;
        if (distance2 > reach * reach) {
            const double inverse = 1 / std::sqrt(distance2);
            const double cj = Dot(image.u, gap) * inverse;
            return inverse *
                   (1 + src.length * src.length * (3 * cj * cj - 1) * inverse * inverse / 24);
        }
        return LineIntegral(p, image.a, image.u, image.length, 0) / image.length;
    };
    const auto far = [&](double sigma, double c) {
        const Vec gap = p - ImageOf(src, sigma, c).mid;
        return 1 / std::sqrt(Dot(gap, gap));
    };
    const double knee = (std::hypot(x - src.mid.x, y - src.mid.y) + src.length) /
                        (2 * std::max(soil.thickness, 1e-9));
    return src.psi * Prefactor(soil, layers) / (4 * kPi) * Series(soil, layers, near, far, knee);
}

unsigned ThreadsOf(unsigned threads)
{
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    return threads;
}

// Runs work(k, threads) on `threads` threads, k = 0 … threads − 1.
template <class Work> void OnThreads(unsigned threads, Work work)
{
    std::vector<std::jthread> pool;
    for (unsigned k = 1; k < threads; ++k)
        pool.emplace_back([&work, k, threads] { work(k, threads); });
    work(0u, threads);
}

Piece PieceOf(const FieldSegment &s, const Soil &soil)
{
    Piece p;
    p.a = VecOf(s.from);
    p.b = VecOf(s.to);
    p.mid = 0.5 * (p.a + p.b);
    const Vec span = p.b - p.a;
    p.length = std::sqrt(Dot(span, span));
    p.u = (1 / p.length) * span;
    p.radius = s.radius;
    p.psi = s.climatic;
    p.lower = !soil.uniform && p.mid.z > soil.thickness;
    return p;
}

// Σ w/D, Σ w/D³ and Σ w/D⁵ over a pair's images: what the midpoints' rule of far pairs needs.
struct Sums {
    double p1 = 0, p3 = 0, p5 = 0;
};
Sums operator+(Sums a, Sums b)
{
    return {a.p1 + b.p1, a.p3 + b.p3, a.p5 + b.p5};
}
Sums operator-(Sums a, Sums b)
{
    return {a.p1 - b.p1, a.p3 - b.p3, a.p5 - b.p5};
}
Sums operator*(double s, Sums a)
{
    return {s * a.p1, s * a.p3, s * a.p5};
}

// The sums at horizontal distance ϱ of an observer at depth z from a source at depth h,
// without the direct term where `direct` is false.
Sums ImageSums(const Soil &soil, Layers layers, double rho, double z, double h, bool direct)
{
    const double rho2 = rho * rho;
    const auto term = [&](double sigma, double c) {
        if (!direct && sigma == 1 && c == 0) return Sums{};
        const double v = z - (sigma * h + c);
        const double inverse2 = 1 / (rho2 + v * v);
        const double inverse = std::sqrt(inverse2);
        return Sums{inverse, inverse * inverse2, inverse * inverse2 * inverse2};
    };
    Sums sum = Group(soil, layers, 0, term);
    if (layers == Layers::uniform || soil.k == 0) return sum;
    const double magnitude = std::fabs(soil.k);
    double power = 1;
    for (int n = 1; n <= kDirectTerms; ++n) {
        power *= soil.k;
        const Sums next = power * Group(soil, layers, n, term);
        sum = sum + next;
        if (std::fabs(next.p1) <= kSeriesTolerance * (1 - magnitude) * std::fabs(sum.p1))
            return sum;
    }
    const double knee = rho / (2 * soil.thickness);
    const auto tail = [&](double Sums::*part) {
        return PowerSeriesTail(
            soil.k, kDirectTerms + 1, [&](double n) { return Group(soil, layers, n, term).*part; },
            std::max(0.0, knee - kDirectTerms), kSeriesTolerance, std::fabs(sum.*part));
    };
    return sum + Sums{tail(&Sums::p1), tail(&Sums::p3), tail(&Sums::p5)};
}

// The sums of one pair of depths as functions of ϱ, on a grid even in √ϱ (fine near the
// axis, where the images are nearest, coarse far off), read by cubic interpolation.
class RadialTable {
public:
    RadialTable() = default;
    RadialTable(const Soil &soil, Layers layers, double z, double h, bool direct, double reach)
        : RadialTable(reach, [&](double rho) { return ImageSums(soil, layers, rho, z, h, direct); })
    {
    }
    // `f`(ϱ) tabulated out to `reach`.
    template <class Function> RadialTable(double reach, Function f)
    {
        const auto count = static_cast<std::size_t>(std::ceil(std::sqrt(reach) / kStep)) + 3;
        values_.resize(count + 1);
        for (std::size_t k = 1; k <= count; ++k) {
            const double s = kStep * static_cast<double>(k - 1);
            values_[k] = f(s * s);
        }
        values_[0] = values_[2]; // even in √ϱ about 0
    }

    // Adds `weight` times a table of the same reach.
    void Add(const RadialTable &other, double weight)
    {
        values_.resize(other.values_.size());
        for (std::size_t k = 0; k < values_.size(); ++k)
            values_[k] = values_[k] + weight * other.values_[k];
    }

    Sums At(double rho) const
    {
        const double f = std::sqrt(rho) / kStep;
        const auto k = std::min(static_cast<std::size_t>(f), values_.size() - 4);
        const double t = f - static_cast<double>(k);
        const double wm = -t * (t - 1) * (t - 2) / 6, w0 = (t + 1) * (t - 1) * (t - 2) / 2;
        const double w1 = -(t + 1) * t * (t - 2) / 2, w2 = (t + 1) * t * (t - 1) / 6;
        return wm * values_[k] + w0 * values_[k + 1] + w1 * values_[k + 2] + w2 * values_[k + 3];
    }

private:
    static constexpr double kStep = 0.02; // in √m
    std::vector<Sums> values_;
};

// Segments of one depth, upright or level, share their images' sums at every distance:
// the pairs far enough apart for their midpoints take them from a table.
constexpr std::size_t kMostDepths = 24;

struct DepthClasses {
    std::vector<double> depths;
    std::vector<int> of; // a piece's class, −1 for a slanting one
};

DepthClasses ClassesOf(const std::vector<Piece> &pieces)
{
    DepthClasses classes;
    for (const Piece &p : pieces) {
        const bool upright = std::fabs(p.u.x) < 1e-12 && std::fabs(p.u.y) < 1e-12;
        const bool level = std::fabs(p.u.z) < 1e-12;
        int found = -1;
        if (upright || level) {
            for (std::size_t c = 0; c < classes.depths.size(); ++c)
                if (std::fabs(classes.depths[c] - p.mid.z) <= 1e-9 * (1 + p.mid.z))
                    found = static_cast<int>(c);
            if (found < 0 && classes.depths.size() < kMostDepths) {
                found = static_cast<int>(classes.depths.size());
                classes.depths.push_back(p.mid.z);
            }
        }
        classes.of.push_back(found);
    }
    return classes;
}

// ℓ²·(3cos² − 1)/D³ summed over the images, from the sums: c = Δz/D for an upright segment,
// (u·g)/D for a level one, g the horizontal gap.
double Bend(const Piece &p, const Sums &s, double rho, double gx, double gy)
{
    const double l2 = p.length * p.length;
    if (std::fabs(p.u.z) > 0.5) return l2 * (2 * s.p3 - 3 * rho * rho * s.p5);
    const double along = p.u.x * gx + p.u.y * gy;
    return l2 * (3 * along * along * s.p5 - s.p3);
}

double Reach(const std::vector<Piece> &pieces, double left, double top, double right, double bottom)
{
    for (const Piece &p : pieces) {
        left = std::min(left, p.mid.x);
        right = std::max(right, p.mid.x);
        top = std::min(top, p.mid.y);
        bottom = std::max(bottom, p.mid.y);
    }
    return std::hypot(right - left, bottom - top) + 1;
}

// The matrix's far pairs by table: one for each pair of depth classes.
class PairTables {
public:
    PairTables(const Soil &soil, const std::vector<Piece> &pieces, unsigned threads)
        : classes_(ClassesOf(pieces))
    {
        const std::size_t m = classes_.depths.size();
        tables_.resize(m * m);
        prefactors_.resize(m * m);
        if (pieces.empty()) return;
        const double reach =
            Reach(pieces, pieces[0].mid.x, pieces[0].mid.y, pieces[0].mid.x, pieces[0].mid.y);
        std::vector<std::pair<std::size_t, std::size_t>> pairs;
        for (std::size_t i = 0; i < m; ++i)
            for (std::size_t j = 0; j <= i; ++j)
                pairs.emplace_back(i, j);
        OnThreads(threads, [&](unsigned first, unsigned step) {
            for (std::size_t k = first; k < pairs.size(); k += step) {
                const auto [i, j] = pairs[k];
                const double z = classes_.depths[i], h = classes_.depths[j];
                const Layers layers = LayersOf(soil, Lower(soil, z), Lower(soil, h));
                tables_[i * m + j] = RadialTable(soil, layers, z, h, false, reach);
                prefactors_[i * m + j] = Prefactor(soil, layers);
            }
        });
        for (std::size_t i = 0; i < m; ++i)
            for (std::size_t j = 0; j < i; ++j) {
                tables_[j * m + i] = tables_[i * m + j];
                prefactors_[j * m + i] = prefactors_[i * m + j];
            }
    }

    // G[i][j] where the pair is far enough apart for its midpoints, or none.
    std::optional<double> Far(std::size_t i, std::size_t j, const Piece &obs,
                              const Piece &src) const
    {
        const int ci = classes_.of[i], cj = classes_.of[j];
        if (ci < 0 || cj < 0) return std::nullopt;
        const Vec gap = obs.mid - src.mid;
        const double distance2 = Dot(gap, gap);
        const double reach = kFarRatio * (obs.length + src.length);
        if (distance2 <= reach * reach) return std::nullopt;
        const std::size_t k =
            static_cast<std::size_t>(ci) * classes_.depths.size() + static_cast<std::size_t>(cj);
        const double rho = std::hypot(gap.x, gap.y);
        const Sums s = tables_[k].At(rho);
        // The direct term by its midpoints, the images by the table.
        const double inverse = 1 / std::sqrt(distance2);
        const double cosi = Dot(obs.u, gap) * inverse, cosj = Dot(src.u, gap) * inverse;
        const double direct = inverse * (1 + (obs.length * obs.length * (3 * cosi * cosi - 1) +
                                              src.length * src.length * (3 * cosj * cosj - 1)) *
                                                 inverse * inverse / 24);
        const double images =
            s.p1 + (Bend(obs, s, rho, gap.x, gap.y) + Bend(src, s, rho, gap.x, gap.y)) / 24;
        return SharedClimatic(obs, src) * prefactors_[k] / (4 * kPi) * (direct + images);
    }

private:
    static bool Lower(const Soil &soil, double depth)
    {
        return !soil.uniform && depth > soil.thickness;
    }

    DepthClasses classes_;
    std::vector<RadialTable> tables_;
    std::vector<double> prefactors_;
};

// The surface potential of every segment's current, far segments by table.
class SurfaceField {
public:
    SurfaceField(const FieldSolution &solution, double left, double top, double right,
                 double bottom)
        : soil_(SoilOf(solution.soil))
    {
        std::vector<Piece> pieces;
        std::vector<double> currents;
        for (const FieldSegment &s : solution.segments) {
            pieces.push_back(PieceOf(s, soil_));
            currents.push_back(s.current);
        }
        const double reach = Reach(pieces, left, top, right, bottom);
        // An upright segment's surface potential depends on ϱ alone: each rod's segments go
        // into one table of the rod, each kind of segment (its top and foot) computed once.
        std::vector<std::pair<double, double>> kinds;
        std::vector<RadialTable> kindTables;
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            const Piece &p = pieces[k];
            if (std::fabs(p.u.x) > 1e-12 || std::fabs(p.u.y) > 1e-12) {
                pieces_.push_back(p);
                currents_.push_back(currents[k]);
                continue;
            }
            const std::pair<double, double> kind{std::min(p.a.z, p.b.z), std::max(p.a.z, p.b.z)};
            const auto same = [&](const std::pair<double, double> &o) {
                return std::fabs(o.first - kind.first) < 1e-9 &&
                       std::fabs(o.second - kind.second) < 1e-9;
            };
            auto found = std::ranges::find_if(kinds, same);
            if (found == kinds.end()) {
                Piece unit = p;
                unit.a.x = unit.b.x = unit.mid.x = unit.a.y = unit.b.y = unit.mid.y = 0;
                unit.psi = 1;
                kinds.push_back(kind);
                kindTables.emplace_back(reach, [&](double rho) {
                    return Sums{SurfaceTerm(soil_, unit, rho, 0), 0, 0};
                });
                found = kinds.end() - 1;
            }
            const auto index = static_cast<std::size_t>(
                std::ranges::find_if(axes_,
                                     [&](const Vec &a) {
                                         return std::fabs(a.x - p.mid.x) < 1e-9 &&
                                                std::fabs(a.y - p.mid.y) < 1e-9;
                                     }) -
                axes_.begin());
            if (index == axes_.size()) {
                axes_.push_back({p.mid.x, p.mid.y, 0});
                axisTables_.emplace_back();
            }
            axisTables_[index].Add(kindTables[static_cast<std::size_t>(found - kinds.begin())],
                                   currents[k] * p.psi);
        }
        classes_ = ClassesOf(pieces_);
        for (const double depth : classes_.depths) {
            const Layers layers = LayersOf(soil_, false, !soil_.uniform && depth > soil_.thickness);
            tables_.emplace_back(soil_, layers, 0, depth, true, reach);
            prefactors_.push_back(Prefactor(soil_, layers));
        }
        Gather();
    }

    double At(double x, double y) const
    {
        double sum = 0;
        for (std::size_t k = 0; k < axes_.size(); ++k)
            sum += axisTables_[k].At(std::hypot(x - axes_[k].x, y - axes_[k].y)).p1;
        for (const Run &run : runs_) {
            const double gx = x - run.centre.x, gy = y - run.centre.y;
            const double rho2 = gx * gx + gy * gy;
            if (run.count > 1 && rho2 + run.centre.z * run.centre.z > run.reach * run.reach) {
                // The run by its current, its centre and its spread: ∫i(s)·f(s) ≈ I·f(s̄) +
                // M₂/2·f″(s̄), as a segment's ℓ²/24 is its M₂/2 per ampere.
                const double rho = std::sqrt(rho2);
                const Sums s = tables_[run.depthClass].At(rho);
                const double along = run.u.x * gx + run.u.y * gy;
                sum += run.factor *
                       (run.current * s.p1 + run.moment / 2 * (3 * along * along * s.p5 - s.p3));
                continue;
            }
            for (std::size_t k = run.first; k < run.first + run.count; ++k)
                sum += Segment(k, x, y);
        }
        return sum;
    }

private:
    // A straight run of consecutive level segments of one depth: far from it, one term.
    struct Run {
        std::size_t first = 0, count = 0;
        Vec centre, u;
        double current = 0, moment = 0, reach = 0, factor = 0;
        std::size_t depthClass = 0;
    };

    double Segment(std::size_t k, double x, double y) const
    {
        const Piece &p = pieces_[k];
        const int c = classes_.of[k];
        const double gx = x - p.mid.x, gy = y - p.mid.y;
        const double rho2 = gx * gx + gy * gy;
        const double reach = kFarRatio * p.length;
        if (c < 0 || rho2 + p.mid.z * p.mid.z <= reach * reach)
            return currents_[k] * SurfaceTerm(soil_, p, x, y);
        const auto cls = static_cast<std::size_t>(c);
        const double rho = std::sqrt(rho2);
        const Sums s = tables_[cls].At(rho);
        return currents_[k] * p.psi * prefactors_[cls] / (4 * kPi) *
               (s.p1 + Bend(p, s, rho, gx, gy) / 24);
    }

    // Up to eight segments a run, taken whole from four times its length on: its third
    // moment's share is then below a few tenths of a per cent of the run's.
    void Gather()
    {
        constexpr std::size_t kMostInRun = 8;
        for (std::size_t k = 0; k < pieces_.size();) {
            Run run;
            run.first = k;
            run.count = 1;
            const Piece &head = pieces_[k];
            const bool level = classes_.of[k] >= 0 && std::fabs(head.u.z) < 1e-12;
            while (level && run.count < kMostInRun && k + run.count < pieces_.size()) {
                const Piece &next = pieces_[k + run.count];
                const Piece &last = pieces_[k + run.count - 1];
                const Vec joint = next.a - last.b;
                if (classes_.of[k + run.count] != classes_.of[k] ||
                    Dot(next.u, head.u) < 1 - 1e-12 || Dot(joint, joint) > 1e-18 ||
                    next.psi != head.psi)
                    break;
                ++run.count;
            }
            double length = 0, weighted = 0;
            bool positive = true, negative = true;
            for (std::size_t j = k; j < k + run.count; ++j) {
                positive = positive && currents_[j] > 0;
                negative = negative && currents_[j] < 0;
                run.current += currents_[j];
                weighted += currents_[j] * Dot(pieces_[j].mid - head.a, head.u);
                length += pieces_[j].length;
            }
            // Currents of one sign keep the centre inside the run.
            if (run.count > 1 && (positive || negative)) {
                const double centre = weighted / run.current;
                for (std::size_t j = k; j < k + run.count; ++j) {
                    const double off = Dot(pieces_[j].mid - head.a, head.u) - centre;
                    run.moment +=
                        currents_[j] * (off * off + pieces_[j].length * pieces_[j].length / 12);
                }
                run.centre = head.a + centre * head.u;
                run.u = head.u;
                run.reach = 4 * length;
                run.depthClass = static_cast<std::size_t>(classes_.of[k]);
                run.factor = head.psi * prefactors_[run.depthClass] / (4 * kPi);
            } else {
                run.count = 1;
            }
            runs_.push_back(run);
            k += run.count;
        }
    }

    Soil soil_;
    std::vector<Run> runs_;
    // The rods: their axes and the potential of all their segments by ϱ.
    std::vector<Vec> axes_;
    std::vector<RadialTable> axisTables_;
    // The rest, the strip's segments: far ones by their depth's table, near ones exactly.
    std::vector<Piece> pieces_;
    std::vector<double> currents_;
    DepthClasses classes_;
    std::vector<RadialTable> tables_;
    std::vector<double> prefactors_;
};

struct Split {
    Vec from, to;
    double length;
    const FieldConductor *conductor;
};

// The conductors cut at the layer boundary.
std::vector<Split> SplitAtBoundary(const FieldProblem &problem)
{
    std::vector<Split> parts;
    const double h = problem.soil.upperThickness;
    for (const FieldConductor &c : problem.conductors) {
        const Vec from = VecOf(c.from), to = VecOf(c.to);
        const Vec span = to - from;
        const double length = std::sqrt(Dot(span, span));
        if (h > 0 && (from.z - h) * (to.z - h) < 0) {
            const double f = (h - from.z) / (to.z - from.z);
            Vec cut = from + f * span;
            cut.z = h;
            parts.push_back({from, cut, f * length, &c});
            parts.push_back({cut, to, (1 - f) * length, &c});
        } else {
            parts.push_back({from, to, length, &c});
        }
    }
    return parts;
}

std::size_t SegmentCount(const std::vector<Split> &parts, double maxSegment)
{
    std::size_t count = 0;
    for (const Split &p : parts)
        count += static_cast<std::size_t>(std::max(1.0, std::ceil(p.length / maxSegment - 1e-9)));
    return count;
}

std::string Metres(double value)
{
    return FormatGeneral(std::round(value * 100) / 100, ",") + " м";
}

// OpenBLAS, opened the first time a matrix is factored rather than linked: a process that
// links it starts the library's threads as it loads, and they spin for a tenth of a second
// of processor time before they sleep, in every telmar-calc and window that never
// computes a field. Its functions are taken with the types its headers give them.
struct Blas {
    decltype(&dpotrf_) potrf = nullptr;
    decltype(&cblas_dtrsv) trsv = nullptr;
    decltype(&openblas_get_num_threads) threads = nullptr;
    decltype(&openblas_set_num_threads) setThreads = nullptr;
};

// The library, or none where it cannot be opened (the factoring is then Eigen's, slower).
const Blas *OpenBlas()
{
    static const Blas blas = [] {
        void *library = dlopen("libopenblas.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!library) return Blas{};
        const auto symbol = [&]<class Function>(Function &function, const char *name) {
            function = reinterpret_cast<Function>(dlsym(library, name));
            return function != nullptr;
        };
        Blas b;
        if (symbol(b.potrf, "dpotrf_") && symbol(b.trsv, "cblas_dtrsv") &&
            symbol(b.threads, "openblas_get_num_threads") &&
            symbol(b.setThreads, "openblas_set_num_threads"))
            return b;
        return Blas{};
    }();
    return blas.potrf ? &blas : nullptr;
}

// OpenBLAS's thread count belongs to the whole process. One factoring at a time sets it to
// what its caller allows, so that solves on several threads at once (Подбор's variants, a
// window's check) take turns with the two cores rather than each starting the library's
// threads on them.
std::mutex blasTurn;

// G·x = 1 by Cholesky, G's lower triangle in `g`, which the factor overwrites; false where
// G is not positive definite.
bool SolveUnitPotential(Eigen::MatrixXd &g, Eigen::VectorXd &x, unsigned threads)
{
    x = Eigen::VectorXd::Ones(g.rows());
    const Blas *blas = OpenBlas();
    if (!blas) {
        Eigen::LLT<Eigen::Ref<Eigen::MatrixXd>, Eigen::Lower> factor(g);
        if (factor.info() != Eigen::Success) return false;
        factor.solveInPlace(x);
        return true;
    }
    blasint n = static_cast<blasint>(g.rows()), lda = static_cast<blasint>(g.outerStride());
    blasint info = 0;
    char lower = 'L';
    // Below 2,000 segments a second thread saves milliseconds, and the library's idle thread
    // would then spin beside the caller's next work for a tenth of a second; so Подбор's
    // variants, each solved on a worker of its own, factor on one thread each.
    if (g.rows() < kThreadedFactoring) threads = 1;
    const int wanted =
        static_cast<int>(std::min(threads, std::max(1u, std::thread::hardware_concurrency())));
    const std::scoped_lock turn(blasTurn);
    if (blas->threads() != wanted) blas->setThreads(wanted);
    blas->potrf(&lower, &n, g.data(), &lda, &info);
    if (info != 0) return false;
    // L·Lᵀ·x = 1: forward, then back through the transpose.
    blas->trsv(CblasColMajor, CblasLower, CblasNoTrans, CblasNonUnit, n, g.data(), lda, x.data(),
               1);
    blas->trsv(CblasColMajor, CblasLower, CblasTrans, CblasNonUnit, n, g.data(), lda, x.data(), 1);
    return true;
}

} // namespace

std::optional<std::string> FieldProblemFault(const FieldProblem &problem)
{
    const FieldSoil &s = problem.soil;
    if (problem.conductors.empty()) return "Нет ни одного проводника заземлителя.";
    if (!(s.lowerResistivity > 0) || !std::isfinite(s.lowerResistivity) ||
        (s.upperThickness > 0 && (!(s.upperResistivity > 0) || !std::isfinite(s.upperResistivity))))
        return "Удельное сопротивление грунта должно быть больше нуля.";
    if (s.upperThickness > 0) {
        const double ratio = s.upperResistivity / s.lowerResistivity;
        if (ratio > kMaxLayerRatio || ratio < 1 / kMaxLayerRatio)
            return "Отношение удельных сопротивлений слоёв ρ1/ρ2 = " + FormatGeneral(ratio, ",") +
                   " выходит за пределы от 0,0001 до 10000: расчёт поля для такого грунта "
                   "неточен.";
    }
    if (!(problem.maxSegment > 0)) return "Длина отрезка проводника должна быть больше нуля.";
    for (const FieldConductor &c : problem.conductors) {
        for (const double v : {c.from.x, c.from.y, c.from.z, c.to.x, c.to.y, c.to.z, c.radius})
            if (!std::isfinite(v)) return "Координаты проводника должны быть числами.";
        if (c.from.z <= 0 || c.to.z <= 0)
            return "Проводник выходит на поверхность земли или над ней (глубина " +
                   Metres(std::min(c.from.z, c.to.z)) +
                   "): расчёт поля считает проводники в грунте, ниже поверхности.";
        if (!(c.radius > 0)) return "Радиус проводника должен быть больше нуля.";
        // A thin wire in the ground: one as thick as it is deep breaks the surface, and the
        // line-current model no longer holds (its matrix stops being positive definite).
        if (c.radius >= std::min(c.from.z, c.to.z))
            return "Проводник радиусом " + Metres(c.radius) +
                   " выходит на поверхность земли: он толще, чем глубина его заложения (" +
                   Metres(std::min(c.from.z, c.to.z)) + ").";
        if (!(c.climatic > 0)) return "Климатический коэффициент должен быть больше нуля.";
        const Vec span = VecOf(c.to) - VecOf(c.from);
        if (!(Dot(span, span) > 0)) return "Проводник нулевой длины.";
    }
    if (SegmentCount(SplitAtBoundary(problem), 1e300) > kMaxSegments)
        return "В заземлителе больше 20 000 прямых участков проводников: для расчёта поля это "
               "слишком много.";
    return std::nullopt;
}

FieldSolution SolveField(const FieldProblem &problem, unsigned threads)
{
    if (const auto fault = FieldProblemFault(problem)) throw std::invalid_argument(*fault);
    threads = ThreadsOf(threads);
    FieldSolution solution;
    solution.soil = problem.soil;
    const Soil soil = SoilOf(problem.soil);
    const std::vector<Split> parts = SplitAtBoundary(problem);

    double maxSegment = problem.maxSegment;
    if (SegmentCount(parts, maxSegment) > kComfortableSegments) {
        // The shortest segments that keep the count within reach.
        double low = maxSegment, high = maxSegment;
        while (SegmentCount(parts, high) > kComfortableSegments)
            high *= 2;
        for (int i = 0; i < 60; ++i) {
            const double middle = (low + high) / 2;
            (SegmentCount(parts, middle) > kComfortableSegments ? low : high) = middle;
        }
        maxSegment = high;
        solution.notes.push_back("Проводники разбиты на отрезки до " + Metres(maxSegment) +
                                 " вместо " + Metres(problem.maxSegment) +
                                 ", чтобы число отрезков не превышало " +
                                 std::to_string(kComfortableSegments) + ".");
    }
    if (!soil.uniform) {
        const double ratio = soil.rho1 / soil.rho2;
        if (ratio > 1e3 || ratio < 1e-3)
            solution.notes.push_back("Слои грунта различаются по удельному сопротивлению более "
                                     "чем в 1000 раз: ряд изображений сходится медленно, "
                                     "точность расчёта ниже обычной.");
    }

    std::vector<Piece> pieces;
    for (const Split &part : parts) {
        const auto count =
            static_cast<std::size_t>(std::max(1.0, std::ceil(part.length / maxSegment - 1e-9)));
        const Vec span = part.to - part.from;
        const Vec u = (1 / part.length) * span;
        for (std::size_t k = 0; k < count; ++k) {
            Piece p;
            p.a = part.from + (static_cast<double>(k) / static_cast<double>(count)) * span;
            p.b = part.from + (static_cast<double>(k + 1) / static_cast<double>(count)) * span;
            p.mid = 0.5 * (p.a + p.b);
            p.u = u;
            p.length = part.length / static_cast<double>(count);
            p.radius = part.conductor->radius;
            p.lower = !soil.uniform && p.mid.z > soil.thickness;
            p.psi = p.lower ? 1 : part.conductor->climatic;
            pieces.push_back(p);
        }
    }

    const auto n = static_cast<Eigen::Index>(pieces.size());
    Eigen::MatrixXd g(n, n);
    // Only the lower triangle, which the factoring reads: rows dealt out in turn, so that
    // the threads' shares of the triangle come out even.
    const auto started = std::chrono::steady_clock::now();
    const PairTables tables(soil, pieces, threads);
    OnThreads(threads, [&](unsigned first, unsigned step) {
        for (Eigen::Index i = first; i < n; i += step)
            for (Eigen::Index j = 0; j <= i; ++j) {
                const auto a = static_cast<std::size_t>(i), b = static_cast<std::size_t>(j);
                const std::optional<double> far = tables.Far(a, b, pieces[a], pieces[b]);
                g(i, j) = far ? *far : MutualPotential(soil, pieces[a], pieces[b]);
            }
    });
    const auto assembled = std::chrono::steady_clock::now();
    // G·x = 1 gives the currents of 1 V; scaled to 1 A, V = R = 1/Σx.
    Eigen::VectorXd x;
    if (!SolveUnitPotential(g, x, threads))
        throw std::runtime_error("Расчёт поля не сошёлся: матрица потенциальных коэффициентов "
                                 "вырождена.");
    const double total = x.sum();
    solution.assemblySeconds = std::chrono::duration<double>(assembled - started).count();
    solution.solveSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - assembled).count();
    solution.resistance = 1 / total;
    solution.segments.reserve(pieces.size());
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        const Piece &p = pieces[k];
        solution.segments.push_back({.from = {p.a.x, p.a.y, p.a.z},
                                     .to = {p.b.x, p.b.y, p.b.z},
                                     .radius = p.radius,
                                     .climatic = p.psi,
                                     .current = x[static_cast<Eigen::Index>(k)] / total});
    }
    return solution;
}

double PointPotential(const FieldSoil &fieldSoil, const FieldPoint &observer,
                      const FieldPoint &source)
{
    const Soil soil = SoilOf(fieldSoil);
    const auto lower = [&](double z) { return !soil.uniform && z > soil.thickness; };
    const Layers layers = LayersOf(soil, lower(observer.z), lower(source.z));
    const double rho = std::hypot(observer.x - source.x, observer.y - source.y);
    return Prefactor(soil, layers) / (4 * kPi) *
           ImageSums(soil, layers, rho, observer.z, source.z, true).p1;
}

double SurfacePotential(const FieldSolution &solution, double x, double y)
{
    const Soil soil = SoilOf(solution.soil);
    double sum = 0;
    for (const FieldSegment &s : solution.segments)
        sum += s.current * SurfaceTerm(soil, PieceOf(s, soil), x, y);
    return sum;
}

SurfaceMap MapSurface(const FieldSolution &solution, double left, double top, double right,
                      double bottom, std::size_t columns, std::size_t rows, unsigned threads)
{
    SurfaceMap map{left, top, right, bottom, columns, rows, {}};
    map.potential.assign(columns * rows, 0);
    const SurfaceField field(solution, std::min(left, right), std::min(top, bottom),
                             std::max(left, right), std::max(top, bottom));
    const auto at = [](double from, double to, std::size_t k, std::size_t count) {
        return count < 2
                   ? (from + to) / 2
                   : from + (to - from) * static_cast<double>(k) / static_cast<double>(count - 1);
    };
    OnThreads(ThreadsOf(threads), [&](unsigned first, unsigned step) {
        for (std::size_t row = first; row < rows; row += step) {
            const double y = at(top, bottom, row, rows);
            for (std::size_t column = 0; column < columns; ++column)
                map.potential[row * columns + column] =
                    field.At(at(left, right, column, columns), y);
        }
    });
    return map;
}

double PermittedTouchVoltage(double duration)
{
    // ГОСТ 12.1.038-82, AC 50 Гц, the emergency mode of an installation: seconds, volts;
    // between the rows the value goes linearly, beyond a second it is 20 В.
    constexpr std::array<std::pair<double, double>, 12> table{{{0.08, 550},
                                                               {0.1, 340},
                                                               {0.2, 160},
                                                               {0.3, 135},
                                                               {0.4, 120},
                                                               {0.5, 105},
                                                               {0.6, 95},
                                                               {0.7, 85},
                                                               {0.8, 75},
                                                               {0.9, 70},
                                                               {1.0, 60},
                                                               {1.0, 20}}};
    if (duration <= table.front().first) return table.front().second;
    if (duration > 1.0) return 20;
    for (std::size_t i = 1; i < table.size(); ++i) {
        const auto [t1, u1] = table[i];
        if (duration <= t1) {
            const auto [t0, u0] = table[i - 1];
            return u0 + (u1 - u0) * (duration - t0) / (t1 - t0);
        }
    }
    return 20;
}

namespace {

struct Plan {
    double ax, ay, bx, by;
};

// The squared plan distance from (x, y) to a segment's plan.
double PlanDistance2(const Plan &s, double x, double y)
{
    const double dx = s.bx - s.ax, dy = s.by - s.ay;
    const double length2 = dx * dx + dy * dy;
    double f = length2 > 0 ? ((x - s.ax) * dx + (y - s.ay) * dy) / length2 : 0;
    f = std::clamp(f, 0.0, 1.0);
    const double px = s.ax + f * dx - x, py = s.ay + f * dy - y;
    return px * px + py * py;
}

// Inside a closed run of the strip: a ray to +x crosses its plan an odd number of times.
bool Inside(const std::vector<Plan> &runs, double x, double y)
{
    bool inside = false;
    for (const Plan &s : runs) {
        if ((s.ay > y) == (s.by > y)) continue;
        const double cross = s.ax + (y - s.ay) * (s.bx - s.ax) / (s.by - s.ay);
        if (cross > x) inside = !inside;
    }
    return inside;
}

} // namespace

ContactVoltages ContactVoltagesOf(const FieldSolution &solution, double current, double duration)
{
    ContactVoltages v;
    v.groundPotentialRise = current * solution.resistance;
    v.permittedTouchVoltage = PermittedTouchVoltage(duration);
    v.permittedStepVoltage = v.permittedTouchVoltage;
    if (solution.segments.empty()) return v;

    // The installation's plan: a rod is a point, a run of the strip a line.
    std::vector<Plan> plans, runs;
    double left = 1e300, right = -1e300, top = 1e300, bottom = -1e300;
    for (const FieldSegment &s : solution.segments) {
        const Plan p{s.from.x, s.from.y, s.to.x, s.to.y};
        plans.push_back(p);
        if (std::hypot(p.bx - p.ax, p.by - p.ay) > 1e-9) runs.push_back(p);
        left = std::min({left, p.ax, p.bx});
        right = std::max({right, p.ax, p.bx});
        top = std::min({top, p.ay, p.by});
        bottom = std::max({bottom, p.ay, p.by});
    }
    // Steps reach past the installation: a margin of a few metres and a fifth of its size.
    const double margin = std::max(5.0, 0.2 * std::max(right - left, bottom - top));
    left -= margin, right += margin, top -= margin, bottom += margin;
    // A grid of at most 200 points a side, no coarser than it need be for a 1 m step.
    const double size = std::max(right - left, bottom - top);
    const double spacing = std::max(0.1, size / 199);
    const auto columns = static_cast<std::size_t>(std::ceil((right - left) / spacing)) + 1;
    const auto rows = static_cast<std::size_t>(std::ceil((bottom - top) / spacing)) + 1;
    right = left + spacing * static_cast<double>(columns - 1);
    bottom = top + spacing * static_cast<double>(rows - 1);
    const SurfaceMap map = MapSurface(solution, left, top, right, bottom, columns, rows);
    const auto value = [&](std::size_t column, std::size_t row) {
        return map.potential[row * columns + column];
    };
    // The potential between the grid's points, bilinear.
    const auto potential = [&](double x, double y) {
        const double fx = std::clamp((x - left) / spacing, 0.0, static_cast<double>(columns - 1));
        const double fy = std::clamp((y - top) / spacing, 0.0, static_cast<double>(rows - 1));
        const auto c = std::min(static_cast<std::size_t>(fx), columns - 2);
        const auto r = std::min(static_cast<std::size_t>(fy), rows - 2);
        const double tx = fx - static_cast<double>(c), ty = fy - static_cast<double>(r);
        return (1 - ty) * ((1 - tx) * value(c, r) + tx * value(c + 1, r)) +
               ty * ((1 - tx) * value(c, r + 1) + tx * value(c + 1, r + 1));
    };

    // Touch: where a person can stand and reach an electrode, within 1 m of one (sampled on
    // the rings and bands 1 m round each), and anywhere inside a contour.
    double leastTouching = 1e300;
    const SurfaceField field(solution, left, top, right, bottom);
    const auto touch = [&](double x, double y) {
        const double u = field.At(x, y);
        if (u < leastTouching) {
            leastTouching = u;
            v.worstTouch = {x, y, 0};
        }
    };
    const auto nearElectrode = [&](double x, double y) {
        for (const Plan &p : plans)
            if (PlanDistance2(p, x, y) <= 1 + 1e-9) return true;
        return false;
    };
    for (std::size_t row = 0; row < rows; ++row)
        for (std::size_t column = 0; column < columns; ++column) {
            const double x = left + spacing * static_cast<double>(column);
            const double y = top + spacing * static_cast<double>(row);
            if (Inside(runs, x, y) || nearElectrode(x, y)) {
                const double u = value(column, row);
                if (u < leastTouching) {
                    leastTouching = u;
                    v.worstTouch = {x, y, 0};
                }
            }
        }
    // The 1 m rings round the rods' heads, exactly rather than on the grid.
    std::vector<Vec> heads;
    for (const FieldSegment &s : solution.segments) {
        if (std::hypot(s.to.x - s.from.x, s.to.y - s.from.y) > 1e-9) continue;
        const Vec top{s.from.x, s.from.y, std::min(s.from.z, s.to.z)};
        const auto same = std::ranges::find_if(heads, [&](const Vec &h) {
            return std::fabs(h.x - top.x) < 1e-9 && std::fabs(h.y - top.y) < 1e-9;
        });
        if (same == heads.end()) heads.push_back(top);
    }
    for (const Vec &head : heads)
        for (int k = 0; k < 8; ++k) {
            const double angle = kPi * k / 4;
            touch(head.x + std::cos(angle), head.y + std::sin(angle));
        }
    v.maxTouchVoltage = current * (solution.resistance - leastTouching);

    // Step: the largest difference over 1 m, in eight directions from every point of the map.
    double worst = -1;
    for (std::size_t row = 0; row < rows; ++row)
        for (std::size_t column = 0; column < columns; ++column) {
            const double x = left + spacing * static_cast<double>(column);
            const double y = top + spacing * static_cast<double>(row);
            const double here = value(column, row);
            for (int k = 0; k < 8; ++k) {
                const double angle = kPi * k / 4;
                const double ex = x + std::cos(angle), ey = y + std::sin(angle);
                if (ex < left || ex > right || ey < top || ey > bottom) continue;
                const double difference = std::fabs(here - potential(ex, ey));
                if (difference > worst) {
                    worst = difference;
                    v.worstStep = {x, y, 0};
                    v.worstStepEnd = {ex, ey, 0};
                }
            }
        }
    v.maxStepVoltage = current * std::max(worst, 0.0);
    v.met =
        v.maxTouchVoltage <= v.permittedTouchVoltage && v.maxStepVoltage <= v.permittedStepVoltage;
    return v;
}

FieldProblem FieldProblemOf(const DesignRecord &record)
{
    FieldProblem problem;
    problem.soil = {record.upperResistivity, record.lowerResistivity, record.upperLayerThickness};
    const PlanGeometry plan = PlanOf(record);
    const SectionGeometry section = SectionOf(record);
    // The rod as the coefficient method takes it (0,95·b for an angle), the strip as a
    // cylinder of half its width.
    const double rodRadius = EquivalentDiameter(record).value() / 2;
    const double stripRadius = record.stripWidth / 1000.0 / 4;
    for (const PlanPoint &e : plan.electrodes)
        problem.conductors.push_back({.from = {e.x, e.y, section.electrodeTop},
                                      .to = {e.x, e.y, section.electrodeBottom},
                                      .radius = rodRadius,
                                      .climatic = record.verticalClimaticCoefficient});
    std::vector<PlanPoint> path = plan.strip;
    if (plan.closed && !path.empty()) path.push_back(path.front());
    for (std::size_t k = 0; k + 1 < path.size(); ++k) {
        const PlanPoint a = path[k], b = path[k + 1];
        if (std::hypot(b.x - a.x, b.y - a.y) <= 1e-9) continue;
        problem.conductors.push_back({.from = {a.x, a.y, section.stripDepth},
                                      .to = {b.x, b.y, section.stripDepth},
                                      .radius = stripRadius,
                                      .climatic = record.horizontalClimaticCoefficient});
    }
    return problem;
}
