#pragma once

#include <span>
#include <vector>

#include "geometry/bspline_basis.h"
#include "geometry/matrix4.h"
#include "geometry/vector3.h"

namespace orva {

// A rectangular control net stored row by row: point (r, c) at r * cols + c. The parameter u
// runs across the rows, v along each row.
struct CControlNet {
    int rows = 0;
    int cols = 0;
    std::vector<CVector3> points;

    bool Empty() const { return points.empty(); }
    const CVector3& At(int r, int c) const {
        return points[static_cast<std::size_t>(r) * cols + c];
    }
};

// The curve end rules in both directions: every row is extended with the v ends first, then
// every column of the extended rows with the u ends (so a phantom row is 2 row0 - row1, point by
// point). Empty when rows or cols is below 2 or the array is shorter than rows * cols.
CControlNet ExtendControlNet(std::span<const CVector3> net, int rows, int cols, CSplineEnds uEnds,
                             CSplineEnds vEnds);

// Power-basis coefficients G[a][b] of every bicubic patch of a net, so that a patch is
// S(u, v) = sum over a, b of u^a v^b G[a][b]. Patch (pr, pc) uses the net points
// P[pr + k][pc + l], k, l in 0..3.
struct CPatchCoefficients {
    int patchRows = 0;
    int patchCols = 0;
    // 16 vectors per patch, patches row by row; G[a][b] of a patch at 4 * a + b.
    std::vector<CVector3> blocks;

    const CVector3* Block(int pr, int pc) const {
        return blocks.data() + 16 * (static_cast<std::size_t>(pr) * patchCols + pc);
    }
};

CPatchCoefficients ComputePatchCoefficients(const CMatrix4& basis, std::span<const CVector3> net,
                                            int rows, int cols);

// Sample grid of a surface, row by row: entry (i, j) at i * cols + j. du and dv are the partial
// derivatives per unit of span parameter and are empty unless they were asked for.
struct CSurfaceGrid {
    int rows = 0;
    int cols = 0;
    std::vector<CVector3> positions;
    std::vector<CVector3> du;
    std::vector<CVector3> dv;

    bool Empty() const { return positions.empty(); }
    std::size_t Index(int i, int j) const { return static_cast<std::size_t>(i) * cols + j; }
};

// Grid of (uSteps * (rows - 3) + 1) x (vSteps * (cols - 3) + 1) samples of an extended net.
// Steps of 1 or less mean one step. With two or more steps in both directions the bicubic
// patches are evaluated exactly; with a single step in a direction the net rows (or columns)
// themselves are taken there, sampled as curves along the other direction (that sampling always
// uses BSPLINE_BASIS). Empty when the net is smaller than 4 x 4 or the grid would exceed
// kMaxSamplePoints.
CSurfaceGrid EvaluateSurfaceGrid(const CMatrix4& basis, std::span<const CVector3> net, int rows,
                                 int cols, int uSteps, int vSteps, bool wantDerivatives);

// ExtendControlNet followed by EvaluateSurfaceGrid with BSPLINE_BASIS: the usual way to sample
// a surface.
CSurfaceGrid SampleSurface(std::span<const CVector3> net, int rows, int cols, CSplineEnds uEnds,
                           CSplineEnds vEnds, int uSteps, int vSteps, bool wantDerivatives);

}  // namespace orva
