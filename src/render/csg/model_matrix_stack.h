#pragma once

#include <vector>

#include "geometry/matrix4.h"

namespace orva {

// Where the object builders put the placements of the objects they are inside (gems). The
// bottom holds the identity and never goes; during a render the node above it holds the view
// matrix, so the top brings a model point into eye space.
class CModelMatrixStack {
public:
    CModelMatrixStack() : m_matrices{CMatrix4::Identity()} {}

    // A new top that starts as a copy of the old one.
    void Push() { m_matrices.push_back(m_matrices.back()); }
    // Drops the top unless it is the bottom.
    void Pop() {
        if (m_matrices.size() > 1) {
            m_matrices.pop_back();
        }
    }
    const CMatrix4& Top() const { return m_matrices.back(); }
    void SetTop(const CMatrix4& m) { m_matrices.back() = m; }
    // Applies `placement` to points before the current top does.
    void MultiplyTop(const CMatrix4& placement) {
        m_matrices.back() = Multiply(placement, m_matrices.back());
    }
    // 1 when only the bottom is left.
    std::size_t Depth() const { return m_matrices.size(); }

private:
    std::vector<CMatrix4> m_matrices;
};

// Pushes on construction and pops on destruction, so every way out of a builder pops.
class CMatrixPush {
public:
    explicit CMatrixPush(CModelMatrixStack& stack) : m_stack(stack) { m_stack.Push(); }
    ~CMatrixPush() { m_stack.Pop(); }
    CMatrixPush(const CMatrixPush&) = delete;
    CMatrixPush& operator=(const CMatrixPush&) = delete;

private:
    CModelMatrixStack& m_stack;
};

}  // namespace orva
