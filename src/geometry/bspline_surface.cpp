#include "geometry/bspline_surface.h"

#include <algorithm>
#include <cstdint>

#include "geometry/bspline_curve.h"

namespace orva {

namespace {

// Row-major view of a net whose size has been checked.
struct CNetView {
    const CVector3* points;
    int rows;
    int cols;

    const CVector3& At(int r, int c) const {
        return points[static_cast<std::size_t>(r) * cols + c];
    }
};

bool IsValidNet(std::span<const CVector3> net, int rows, int cols, int minimum) {
    if (rows < minimum || cols < minimum) {
        return false;
    }
    return static_cast<std::int64_t>(rows) * cols <= static_cast<std::int64_t>(net.size());
}

// Coefficient blocks of the patches of one patch row, 16 vectors per patch.
void ComputePatchRow(const CMatrix4& basis, CNetView p, int pr, CVector3* blocks) {
    for (int pc = 0; pc + 3 < p.cols; ++pc) {
        // inner[b][k] = sum over l of B[b][l] P[pr + k][pc + l]; it does not depend on a, so it
        // is formed once per patch with the same summation order.
        CVector3 inner[4][4];
        for (int b = 0; b < 4; ++b) {
            for (int k = 0; k < 4; ++k) {
                CVector3 sum;
                for (int l = 0; l < 4; ++l) {
                    sum = Add(sum, Scale(p.At(pr + k, pc + l), basis.At(b, l)));
                }
                inner[b][k] = sum;
            }
        }
        CVector3* g = blocks + 16 * static_cast<std::size_t>(pc);
        for (int a = 0; a < 4; ++a) {
            for (int b = 0; b < 4; ++b) {
                CVector3 sum;
                for (int k = 0; k < 4; ++k) {
                    sum = Add(sum, Scale(inner[b][k], basis.At(a, k)));
                }
                g[4 * a + b] = sum;
            }
        }
    }
}

// Grid index -> (span, parameter in the span). The last grid line sits at the end of the last
// span rather than at the start of a span that does not exist.
struct CSpanParameter {
    int span = 0;
    float t = 0.0f;
};

CSpanParameter GridParameter(int index, int steps, int lastIndex, int lastSpan) {
    if (index == lastIndex) {
        return {lastSpan, 1.0f};
    }
    const int span = index / steps;
    return {span, static_cast<float>(static_cast<double>(index) / steps - span)};
}

struct CPowers {
    float value[4];
    float slope[4];
};

CPowers Powers(float t) {
    const float t2 = t * t;
    return {{1.0f, t, t2, t2 * t}, {0.0f, 1.0f, 2.0f * t, 3.0f * t2}};
}

// sum over a (outer), b (inner) of (wu[a] * wv[b]) * g[4a + b], from the zero vector.
CVector3 SumPatch(const CVector3* g, const float (&wu)[4], const float (&wv)[4]) {
    CVector3 sum;
    for (int a = 0; a < 4; ++a) {
        for (int b = 0; b < 4; ++b) {
            const float w = wu[a] * wv[b];
            const CVector3& c = g[4 * a + b];
            sum.x = sum.x + c.x * w;
            sum.y = sum.y + c.y * w;
            sum.z = sum.z + c.z * w;
        }
    }
    return sum;
}

// Grid rows run through the patch rows in order, so only the coefficients of the current patch
// row are kept: the same values as for the whole net, in bounded memory.
void EvaluateExact(const CMatrix4& basis, CNetView net, int uSteps, int vSteps,
                   CSurfaceGrid& grid) {
    const bool derivatives = !grid.du.empty();
    std::vector<CSpanParameter> colParam(grid.cols);
    std::vector<CPowers> colPowers(grid.cols);
    for (int j = 0; j < grid.cols; ++j) {
        colParam[j] = GridParameter(j, vSteps, grid.cols - 1, net.cols - 4);
        colPowers[j] = Powers(colParam[j].t);
    }
    std::vector<CVector3> patchRow(static_cast<std::size_t>(net.cols - 3) * 16);
    int currentPatchRow = -1;
    for (int i = 0; i < grid.rows; ++i) {
        const CSpanParameter up = GridParameter(i, uSteps, grid.rows - 1, net.rows - 4);
        if (up.span != currentPatchRow) {
            ComputePatchRow(basis, net, up.span, patchRow.data());
            currentPatchRow = up.span;
        }
        const CPowers uPow = Powers(up.t);
        for (int j = 0; j < grid.cols; ++j) {
            const CVector3* block =
                patchRow.data() + 16 * static_cast<std::size_t>(colParam[j].span);
            const CPowers& vPow = colPowers[j];
            const std::size_t at = grid.Index(i, j);
            grid.positions[at] = SumPatch(block, uPow.value, vPow.value);
            if (derivatives) {
                grid.du[at] = SumPatch(block, uPow.slope, vPow.value);
                grid.dv[at] = SumPatch(block, uPow.value, vPow.slope);
            }
        }
    }
}

// Intermediate grid of the sampling path: (rows + 2) x (cols + 2), zero where not filled, so
// that every grid point has a neighbour on each side for central differences.
class CSampleFrame {
public:
    CSampleFrame(int rows, int cols)
        : m_cols(cols + 2), m_w(static_cast<std::size_t>(rows + 2) * (cols + 2)) {}

    CVector3& At(int r, int c) { return m_w[static_cast<std::size_t>(r) * m_cols + c]; }
    const CVector3& At(int r, int c) const { return m_w[static_cast<std::size_t>(r) * m_cols + c]; }

private:
    int m_cols;
    std::vector<CVector3> m_w;
};

void FillFrame(CNetView net, int uSteps, int vSteps, CSampleFrame& w) {
    if (uSteps == 1 && vSteps == 1) {
        // The net itself, minus the outer ring of the extension: no evaluation.
        for (int r = 1; r < net.rows - 1; ++r) {
            for (int c = 1; c < net.cols - 1; ++c) {
                w.At(r, c) = net.At(r, c);
            }
        }
    } else if (uSteps == 1) {
        for (int r = 0; r < net.rows; ++r) {
            const std::span<const CVector3> row(&net.At(r, 0), net.cols);
            const std::vector<CVector3> samples = EvaluateCurvePoints(row, vSteps);
            for (std::size_t j = 0; j < samples.size(); ++j) {
                w.At(r, static_cast<int>(j) + 1) = samples[j];
            }
        }
    } else {
        std::vector<CVector3> column(net.rows);
        for (int c = 0; c < net.cols; ++c) {
            for (int r = 0; r < net.rows; ++r) {
                column[r] = net.At(r, c);
            }
            const std::vector<CVector3> samples = EvaluateCurvePoints(column, uSteps);
            for (std::size_t i = 0; i < samples.size(); ++i) {
                w.At(static_cast<int>(i) + 1, c) = samples[i];
            }
        }
    }
}

// Central differences on the frame, scaled from the sample spacing to the span parameter.
void FrameDerivatives(const CSampleFrame& w, int uSteps, int vSteps, CSurfaceGrid& grid) {
    const float uScale = static_cast<float>(uSteps) * 0.5f;
    const float vScale = static_cast<float>(vSteps) * 0.5f;
    for (int i = 0; i < grid.rows; ++i) {
        for (int j = 0; j < grid.cols; ++j) {
            const std::size_t at = grid.Index(i, j);
            grid.du[at] = Scale(Subtract(w.At(i + 2, j + 1), w.At(i, j + 1)), uScale);
            grid.dv[at] = Scale(Subtract(w.At(i + 1, j + 2), w.At(i + 1, j)), vScale);
        }
    }
}

// Where the frame was not filled beyond the grid, the derivative at the border knot comes from
// the net: (P[k + 1] - P[k - 1]) / 2, which is already per unit of span parameter.
void NetBorderDerivatives(CNetView net, int uSteps, int vSteps, CSurfaceGrid& grid) {
    const bool rowsBeyondFilled = uSteps == 1 && vSteps >= 2;
    const bool colsBeyondFilled = vSteps == 1 && uSteps >= 2;
    if (!rowsBeyondFilled) {
        // Here vSteps == 1, so grid column j is net column j + 1.
        for (int j = 0; j < grid.cols; ++j) {
            grid.du[grid.Index(0, j)] = Scale(Subtract(net.At(2, j + 1), net.At(0, j + 1)), 0.5f);
            grid.du[grid.Index(grid.rows - 1, j)] =
                Scale(Subtract(net.At(net.rows - 1, j + 1), net.At(net.rows - 3, j + 1)), 0.5f);
        }
    }
    if (!colsBeyondFilled) {
        // Here uSteps == 1, so grid row i is net row i + 1.
        for (int i = 0; i < grid.rows; ++i) {
            grid.dv[grid.Index(i, 0)] = Scale(Subtract(net.At(i + 1, 2), net.At(i + 1, 0)), 0.5f);
            grid.dv[grid.Index(i, grid.cols - 1)] =
                Scale(Subtract(net.At(i + 1, net.cols - 1), net.At(i + 1, net.cols - 3)), 0.5f);
        }
    }
}

void EvaluateSampled(CNetView net, int uSteps, int vSteps, CSurfaceGrid& grid) {
    CSampleFrame w(grid.rows, grid.cols);
    FillFrame(net, uSteps, vSteps, w);
    for (int i = 0; i < grid.rows; ++i) {
        for (int j = 0; j < grid.cols; ++j) {
            grid.positions[grid.Index(i, j)] = w.At(i + 1, j + 1);
        }
    }
    if (!grid.du.empty()) {
        FrameDerivatives(w, uSteps, vSteps, grid);
        NetBorderDerivatives(net, uSteps, vSteps, grid);
    }
}

}  // namespace

CControlNet ExtendControlNet(std::span<const CVector3> net, int rows, int cols, CSplineEnds uEnds,
                             CSplineEnds vEnds) {
    if (!IsValidNet(net, rows, cols, 2)) {
        return {};
    }
    std::vector<std::vector<CVector3>> extendedRows(rows);
    for (int r = 0; r < rows; ++r) {
        extendedRows[r] =
            ExtendControlPolygon(net.subspan(static_cast<std::size_t>(r) * cols, cols), vEnds);
    }
    // Extending every column of the extended rows by the curve rule adds whole rows: the wrapped
    // rows of a closed loop or the phantom rows 2 row0 - row1.
    CControlNet out;
    out.cols = static_cast<int>(extendedRows[0].size());
    std::vector<CVector3> column(rows);
    for (int c = 0; c < out.cols; ++c) {
        for (int r = 0; r < rows; ++r) {
            column[r] = extendedRows[r][c];
        }
        const std::vector<CVector3> extended = ExtendControlPolygon(column, uEnds);
        if (c == 0) {
            out.rows = static_cast<int>(extended.size());
            out.points.resize(static_cast<std::size_t>(out.rows) * out.cols);
        }
        for (int r = 0; r < out.rows; ++r) {
            out.points[static_cast<std::size_t>(r) * out.cols + c] = extended[r];
        }
    }
    return out;
}

CPatchCoefficients ComputePatchCoefficients(const CMatrix4& basis, std::span<const CVector3> net,
                                            int rows, int cols) {
    CPatchCoefficients out;
    if (!IsValidNet(net, rows, cols, 4)) {
        return out;
    }
    const CNetView p{net.data(), rows, cols};
    out.patchRows = rows - 3;
    out.patchCols = cols - 3;
    const std::size_t rowSize = static_cast<std::size_t>(out.patchCols) * 16;
    out.blocks.resize(rowSize * out.patchRows);
    for (int pr = 0; pr < out.patchRows; ++pr) {
        ComputePatchRow(basis, p, pr, out.blocks.data() + rowSize * pr);
    }
    return out;
}

CSurfaceGrid EvaluateSurfaceGrid(const CMatrix4& basis, std::span<const CVector3> net, int rows,
                                 int cols, int uSteps, int vSteps, bool wantDerivatives) {
    CSurfaceGrid grid;
    if (!IsValidNet(net, rows, cols, 4)) {
        return grid;
    }
    const int su = std::clamp(uSteps, 1, kMaxStepsPerSpan);
    const int sv = std::clamp(vSteps, 1, kMaxStepsPerSpan);
    const std::int64_t gridRows = static_cast<std::int64_t>(su) * (rows - 3) + 1;
    const std::int64_t gridCols = static_cast<std::int64_t>(sv) * (cols - 3) + 1;
    // The frame of the sampling path is the largest array made here.
    if ((gridRows + 2) * (gridCols + 2) > kMaxSamplePoints) {
        return grid;
    }
    grid.rows = static_cast<int>(gridRows);
    grid.cols = static_cast<int>(gridCols);
    const std::size_t count = static_cast<std::size_t>(gridRows * gridCols);
    grid.positions.resize(count);
    if (wantDerivatives) {
        grid.du.resize(count);
        grid.dv.resize(count);
    }
    const CNetView view{net.data(), rows, cols};
    if (su >= 2 && sv >= 2) {
        EvaluateExact(basis, view, su, sv, grid);
    } else {
        EvaluateSampled(view, su, sv, grid);
    }
    return grid;
}

CSurfaceGrid SampleSurface(std::span<const CVector3> net, int rows, int cols, CSplineEnds uEnds,
                           CSplineEnds vEnds, int uSteps, int vSteps, bool wantDerivatives) {
    const CControlNet extended = ExtendControlNet(net, rows, cols, uEnds, vEnds);
    return EvaluateSurfaceGrid(BSPLINE_BASIS, extended.points, extended.rows, extended.cols,
                               std::max(uSteps, 1), std::max(vSteps, 1), wantDerivatives);
}

}  // namespace orva
