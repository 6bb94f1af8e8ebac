#include "render/csg/wanted_columns.h"

#include <algorithm>

namespace orva {

void CWantedColumns::Reset(int firstColumn, int lastColumn) {
    m_firstColumn = firstColumn;
    m_before.resize(static_cast<std::size_t>(std::max(0, lastColumn - firstColumn + 2)));
    m_filled = 0;
    m_count = 0;
}

void CWantedColumns::Want(int from, int to) {
    const int width = static_cast<int>(m_before.size()) - 1;
    // A run overlapping the last one adds only what lies right of it.
    const int first = std::max({from - m_firstColumn, 0, m_filled - 1});
    const int last = std::min(to - m_firstColumn, width - 1);
    if (first > last) {
        return;
    }
    // The columns between the last run and this one are not wanted.
    std::fill(m_before.begin() + m_filled, m_before.begin() + first + 1, m_count);
    for (int k = first; k <= last; ++k) {
        m_before[static_cast<std::size_t>(k) + 1] = ++m_count;
    }
    m_filled = last + 2;
}

}  // namespace orva
