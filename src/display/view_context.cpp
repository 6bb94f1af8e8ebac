#include "display/view_context.h"

#include <utility>

namespace orva {

namespace {

CGLContext* g_viewContext = nullptr;

}  // namespace

CGLContext* SetViewContext(CGLContext* context) {
    return std::exchange(g_viewContext, context);
}

CGLContext* ViewContext() {
    return g_viewContext;
}

}  // namespace orva
