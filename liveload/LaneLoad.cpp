// Influence lines as cubic pieces and their exact integrals over one sign: the lane loads.
#include "liveload/LaneLoad.h"

#include <algorithm>
#include <cmath>

#include "engine/BeamShape.h"
#include "engine/PlaneFrame.h"

namespace {

// Relative distance from a piece end at which an extreme ordinate there is placed.
constexpr double kInside = 1e-9;

// Real roots in (0, 1) of a u^2 + b u + c, ascending.
int QuadraticRoots(double a, double b, double c, double roots[2]) {
    int n = 0;
    double r[2];
    if (a == 0) {
        if (b != 0) r[n++] = -c / b;
    } else {
        const double disc = b * b - 4 * a * c;
        if (disc >= 0) {
            // The form without cancellation.
            const double q = -0.5 * (b + std::copysign(std::sqrt(disc), b));
            if (q != 0) {
                r[n++] = q / a;
                r[n++] = c / q;
            } else {
                r[n++] = 0;
            }
        }
    }
    int k = 0;
    for (int i = 0; i < n; ++i)
        if (r[i] > 0 && r[i] < 1) roots[k++] = r[i];
    if (k == 2 && roots[0] > roots[1]) std::swap(roots[0], roots[1]);
    return k;
}

// The root of the cubic in [a, b], where it changes sign and is monotone: Newton steps kept
// inside the bracket, bisection when a step would leave it.
double BracketedRoot(const double c[4], double a, double b) {
    double fa = CubicAt(c, a);
    double u = 0.5 * (a + b);
    for (int it = 0; it < 100 && b - a > 1e-15; ++it) {
        const double fu = CubicAt(c, u);
        if (fu == 0) return u;
        if ((fu < 0) == (fa < 0))
            a = u, fa = fu;
        else
            b = u;
        const double d = c[1] + u * (2 * c[2] + 3 * u * c[3]);
        const double next = d != 0 ? u - fu / d : 0.5 * (a + b);
        u = next > a && next < b ? next : 0.5 * (a + b);
    }
    return u;
}

double Antiderivative(const double c[4], double u) {
    return u * (c[0] + u * (c[1] / 2 + u * (c[2] / 3 + u * c[3] / 4)));
}

// x and t of position u on a piece.
void AtPosition(const PathPiece& p, double u, double& x, double& t) {
    x = p.x0 + u * (p.x1 - p.x0);
    t = p.t0 + u * (p.t1 - p.t0);
}

}  // namespace

void FitCubic(const double values[4], double c[4]) {
    const double* u = kCubicFitPoints;
    // Newton's divided differences, then expanded into powers of u.
    double d[4] = {values[0], values[1], values[2], values[3]};
    for (int k = 1; k < 4; ++k)
        for (int i = 3; i >= k; --i) d[i] = (d[i] - d[i - 1]) / (u[i] - u[i - k]);
    double p[4] = {d[3], 0, 0, 0};  // p[i]: coefficient of u^i
    int degree = 0;
    for (int k = 2; k >= 0; --k) {
        // p = p (u - u[k]) + d[k]
        for (int i = degree + 1; i >= 1; --i) p[i] = p[i - 1] - u[k] * p[i];
        p[0] = -u[k] * p[0] + d[k];
        ++degree;
    }
    for (int i = 0; i < 4; ++i) c[i] = p[i];
}

void SummariseLine(const std::vector<PieceCubic>& pieces, LaneLineSummary& out,
                   std::vector<LaneRegion>* positive, std::vector<LaneRegion>* negative) {
    out = LaneLineSummary{};
    // Rounding leaves values of order 1e-16 of the line where it is zero (at supports, on
    // unloaded parts); such parts are no adverse region and carry no concentrated load.
    double scale = 0;
    for (const PieceCubic& pc : pieces)
        for (double u : {0.0, 0.5, 1.0}) scale = std::max(scale, std::fabs(CubicAt(pc.c, u)));
    const double noise = 1e-12 * scale;
    for (const PieceCubic& pc : pieces) {
        const double* c = pc.c;
        const double width = pc.piece.x1 - pc.piece.x0;
        // Ends, stationary points and roots split the piece into intervals of one sign.
        double stations[4] = {0, 0, 0, 1};
        int ns = 1;
        double st[2];
        const int nst = QuadraticRoots(3 * c[3], 2 * c[2], c[1], st);
        for (int i = 0; i < nst; ++i) stations[ns++] = st[i];
        stations[ns++] = 1;
        for (int i = 0; i < ns; ++i) {
            const double v = CubicAt(c, stations[i]);
            LaneOrdinate* o = nullptr;
            if (v > noise && v > out.largest.value) o = &out.largest;
            if (v < -noise && v < out.smallest.value) o = &out.smallest;
            if (!o) continue;
            o->value = v;
            o->element = pc.piece.element;
            // At a piece end the value is the limit from inside the piece; the position is
            // moved inside by a hair, so that a load placed there acts on this side of a
            // jump (the section of a force quantity) and the effect stays that of v.
            const double u = std::min(std::max(stations[i], kInside), 1 - kInside);
            AtPosition(pc.piece, u, o->x, o->t);
        }
        double cuts[8];
        int nc = 0;
        cuts[nc++] = 0;
        for (int i = 0; i + 1 < ns; ++i) {
            const double a = stations[i], b = stations[i + 1];
            const double fa = CubicAt(c, a), fb = CubicAt(c, b);
            if ((fa < 0 && fb > 0) || (fa > 0 && fb < 0)) cuts[nc++] = BracketedRoot(c, a, b);
            if (i + 2 < ns) cuts[nc++] = b;
        }
        cuts[nc++] = 1;
        for (int i = 0; i + 1 < nc; ++i) {
            const double a = cuts[i], b = cuts[i + 1];
            if (!(b > a)) continue;
            const double area = (Antiderivative(c, b) - Antiderivative(c, a)) * width;
            const double mid = CubicAt(c, 0.5 * (a + b));
            if (std::fabs(mid) <= noise && std::fabs(CubicAt(c, 0.25 * (3 * a + b))) <= noise &&
                std::fabs(CubicAt(c, 0.25 * (a + 3 * b))) <= noise)
                continue;
            std::vector<LaneRegion>* regions = mid > 0 ? positive : negative;
            (mid > 0 ? out.positiveArea : out.negativeArea) += area;
            if (!regions) continue;
            LaneRegion r;
            r.element = pc.piece.element;
            AtPosition(pc.piece, a, r.x0, r.t0);
            AtPosition(pc.piece, b, r.x1, r.t1);
            // Joined with the previous interval when it continues it on the same element.
            if (!regions->empty() && regions->back().element == r.element &&
                regions->back().x1 == r.x0) {
                regions->back().x1 = r.x1;
                regions->back().t1 = r.t1;
            } else {
                regions->push_back(r);
            }
        }
    }
}

double IntegrateOver(const std::vector<PieceCubic>& pieces, const std::vector<LaneRegion>& regions) {
    double sum = 0;
    for (const LaneRegion& r : regions) {
        // Pieces are in ascending x: start at the first that ends after the region begins.
        auto it = std::lower_bound(pieces.begin(), pieces.end(), r.x0,
                                   [](const PieceCubic& p, double x) { return p.piece.x1 <= x; });
        for (; it != pieces.end() && it->piece.x0 < r.x1; ++it) {
            const PathPiece& p = it->piece;
            const double width = p.x1 - p.x0;
            const double a = std::max(0.0, (r.x0 - p.x0) / width);
            const double b = std::min(1.0, (r.x1 - p.x0) / width);
            if (b > a) sum += (Antiderivative(it->c, b) - Antiderivative(it->c, a)) * width;
        }
    }
    return sum;
}

void CPlaneFrame::PathPieces(std::vector<PathPiece>& out) const {
    out.clear();
    std::vector<double> xs;
    for (int f : m_ilElements) {
        xs.push_back(m_nodes[m_elements[f].iNode].x);
        xs.push_back(m_nodes[m_elements[f].jNode].x);
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    // Between consecutive element ends the first element covering the path is the same one.
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
        PathPiece p;
        double t = 0;
        if (!LocateOnPath(0.5 * (xs[i] + xs[i + 1]), p.element, t)) continue;
        const Element& el = m_elements[p.element];
        const double xi = m_nodes[el.iNode].x, xj = m_nodes[el.jNode].x;
        p.x0 = xs[i];
        p.x1 = xs[i + 1];
        p.t0 = (p.x0 - xi) / (xj - xi);
        p.t1 = (p.x1 - xi) / (xj - xi);
        out.push_back(p);
    }
}

void CPlaneFrame::PathPieceWeights(const std::vector<PathPiece>& path,
                                   std::vector<PieceWeights>& out) const {
    out.resize(path.size());
    for (size_t i = 0; i < path.size(); ++i) {
        const PathPiece& p = path[i];
        const Element& el = m_elements[p.element];
        for (int k = 0; k < 5; ++k) {
            const double u = k < 4 ? kCubicFitPoints[k] : kCubicCheckPoint;
            // The position exactly as LinePieces computes it.
            BeamShapeWeights(el.cos, el.sin, el.length, p.t0 + u * (p.t1 - p.t0), out[i].w[k]);
        }
    }
}

void CPlaneFrame::LinePieces(const std::vector<PathPiece>& path, const InfluenceRequest& r,
                             const double* state, std::vector<PieceCubic>& out,
                             const std::vector<PieceWeights>* weights) const {
    out.clear();
    auto value = [&](const PathPiece& p, double u) {
        return ValueOnPathElement(p.element, p.t0 + u * (p.t1 - p.t0), r, state);
    };
    // A force quantity jumps at its section: the piece that holds it becomes two.
    std::vector<PathPiece> work;
    std::vector<int> fromPath;  // the path piece a work piece is, -1 for a part of one
    work.reserve(path.size() + 1);
    fromPath.reserve(path.size() + 1);
    for (const PathPiece& p : path) {
        const double lo = std::min(p.t0, p.t1), hi = std::max(p.t0, p.t1);
        const double xi = r.position;
        if (p.element == r.element && r.quantity <= 3 && xi > lo && xi < hi) {
            const double u = (xi - p.t0) / (p.t1 - p.t0);
            PathPiece a = p, b = p;
            a.x1 = b.x0 = p.x0 + u * (p.x1 - p.x0);
            a.t1 = b.t0 = xi;
            work.push_back(a);
            work.push_back(b);
            fromPath.push_back(-1), fromPath.push_back(-1);
        } else {
            work.push_back(p);
            fromPath.push_back(static_cast<int>(&p - path.data()));
        }
    }
    // Influence lines are cubic on each piece. Should a piece not be (a check value off
    // the fit), it is halved until the fits hold, so the integrals stay right.
    // The values at the fit and check positions of every piece first, then the fits: the
    // fits of many pieces, independent of each other, then overlap in the processor.
    const size_t m = work.size();
    std::vector<double> values(5 * m);
    for (size_t i = 0; i < m; ++i) {
        double* v = &values[5 * i];
        const PathPiece& p = work[i];
        // Off the section's element (or for a displacement) a value is the element's
        // displacement alone, which the weights give.
        if (weights && fromPath[i] >= 0 && (p.element != r.element || r.quantity > 3)) {
            const PieceWeights& w = (*weights)[static_cast<size_t>(fromPath[i])];
            double d[6];
            ElementEndValues(*this, p.element, state, d);
            for (int k = 0; k < 5; ++k) v[k] = WeightedShapeY(w.w[k], d);
        } else {
            for (int k = 0; k < 4; ++k) v[k] = value(p, kCubicFitPoints[k]);
            v[4] = value(p, kCubicCheckPoint);
        }
    }
    double scale = 0;
    std::vector<double> misfit(m);
    out.resize(m);
    for (size_t i = 0; i < m; ++i) {
        out[i].piece = work[i];
        FitCubic(&values[5 * i], out[i].c);
    }
    for (size_t i = 0; i < m; ++i) {
        const double* v = &values[5 * i];
        for (int k = 0; k < 4; ++k) scale = std::max(scale, std::fabs(v[k]));
        misfit[i] = std::fabs(CubicAt(out[i].c, kCubicCheckPoint) - v[4]);
    }
    // A line that is zero but for rounding (an axial force under vertical loads) has no
    // shape to fit: the floor scales with the displacements the values are made from.
    double stateScale = 0, longest = 1;
    for (int g = 0; g < m_nDof; ++g) stateScale = std::max(stateScale, std::fabs(state[g]));
    for (const PathPiece& p : path) longest = std::max(longest, p.x1 - p.x0);
    const double tolerance = 1e-10 * scale + 1e-13 * stateScale * longest;
    if (std::none_of(misfit.begin(), misfit.end(), [&](double m) { return m > tolerance; }))
        return;
    std::vector<PieceCubic> refined;
    for (size_t i = 0; i < work.size(); ++i) {
        if (misfit[i] <= tolerance) {
            refined.push_back(out[i]);
            continue;
        }
        std::vector<PathPiece> stack = {work[i]};
        while (!stack.empty()) {
            const PathPiece p = stack.back();
            stack.pop_back();
            PieceCubic pc;
            pc.piece = p;
            double v[4];
            for (int k = 0; k < 4; ++k) v[k] = value(p, kCubicFitPoints[k]);
            FitCubic(v, pc.c);
            const double m = std::fabs(CubicAt(pc.c, kCubicCheckPoint) - value(p, kCubicCheckPoint));
            if (m > tolerance && p.x1 - p.x0 > 1e-4 * (work[i].x1 - work[i].x0)) {
                PathPiece a = p, b = p;
                a.x1 = b.x0 = 0.5 * (p.x0 + p.x1);
                a.t1 = b.t0 = 0.5 * (p.t0 + p.t1);
                stack.push_back(b);  // a is taken first, so the pieces stay in x order
                stack.push_back(a);
            } else {
                refined.push_back(pc);
            }
        }
    }
    out.swap(refined);
}
