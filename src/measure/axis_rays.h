#pragma once

#include <functional>

#include "geometry/matrix4.h"
#include "render/csg/render_pools.h"
#include "render/csg/tree_walk.h"
#include "render/render_context.h"
#include "render/row_loop.h"

namespace orva {

class CInterrupt;
struct CCsgPlan;
class CMaterialTable;
class CSceneObject;
class CTessellationStore;

// A grid of parallel rays along one model axis: ray (column, row) looks along `depthAxis`
// through the point the window matrix puts at pixel (column, row).
struct CAxisRayGrid {
    CMatrix4 view;
    CMatrix4 windowMatrix;
    int columns = 1;
    int rows = 1;
    int depthAxis = 0;    // the model axis along the line of sight
    float depthSign = 1;  // model coordinate = eye depth * sign
};

// The view of the three directions the grids look along: model y, z and x (standard views 1,
// 3 and 5), and the model axes that become eye x and y, with their signs.
struct CAxisView {
    CMatrix4 view;
    int columnAxis = 0;
    int rowAxis = 0;
    float columnSign = 1;
    float rowSign = 1;
    int depthAxis = 0;
    float depthSign = 1;
};
CAxisView AxisView(int direction);

// What the rays look through: the solid of `plan` among the objects from `first` up to `stop`.
struct CAxisRayWalk {
    const CSceneObject* first = nullptr;
    const CSceneObject* stop = nullptr;
    const CCsgPlan* plan = nullptr;
    const CMaterialTable* materials = nullptr;
    int threads = 1;
    CInterrupt* interrupt = nullptr;  // asked once per row
    CTessellationStore* tessellation = nullptr;
    // Per pixel when the crossings' normals are wanted (FragmentNormal); the materials must
    // be resolved for the same mode.
    EShading shading = EShading::kVertexColours;
};

// One row of rays of one direction, as a worker walks it.
class CAxisRayRow {
public:
    CAxisRayRow(CRenderContext& ctx, CRenderNode& root, int worker, int direction, int row,
                int firstColumn, int columns)
        : m_ctx(ctx),
          m_root(root),
          worker(worker),
          direction(direction),
          row(row),
          m_firstColumn(firstColumn),
          m_columns(columns) {}

    // Calls visit(column, list) for every ray of the row that meets something: its crossing
    // list, entry and exit in pairs from the front, coincident pairs dropped. The list is
    // recycled after the call.
    template <class Visit>
    void ForEachRay(Visit&& visit) {
        for (int x = m_firstColumn; x < m_columns; ++x) {
            CFragment* list = DropCoincidentPairs(FragmentsAtColumn(m_root, x, m_ctx), m_ctx);
            if (list != nullptr) {
                visit(x, static_cast<const CFragment*>(list));
            }
            RecycleFragments(m_ctx.pools, list);
        }
    }

private:
    CRenderContext& m_ctx;
    CRenderNode& m_root;

public:
    const int worker;
    const int direction;
    const int row;

private:
    int m_firstColumn;
    int m_columns;
};

using AxisRowVisit = std::function<void(CAxisRayRow&)>;

// Walks every row of the three grids (one per direction, in order), split among the threads
// in bands that each build the scene once; `visit` sees each row that meets something, from
// whichever worker claimed it (workers are numbered 0 .. threads - 1). `rowsDone`, when given,
// counts the rows walked. False when the interrupt stopped it.
bool WalkAxisRays(const CAxisRayWalk& walk, const CAxisRayGrid (&grids)[3],
                  const AxisRowVisit& visit, std::atomic<int>* rowsDone = nullptr);

}  // namespace orva
