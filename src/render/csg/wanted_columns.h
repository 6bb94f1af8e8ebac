#pragma once

#include <vector>

namespace orva {

// The columns of a row that are asked for when only some are (an anti-aliased picture samples
// a few pixels of each row in full): the row walk need not set up spans that reach none of
// them. Runs of columns are added from left to right; whether a span reaches one is then two
// look-ups, however long the span.
class CWantedColumns {
public:
    // None of the columns firstColumn..lastColumn wanted yet.
    void Reset(int firstColumn, int lastColumn);
    // Wants the columns from..to as well (those within the range). Runs come from left to
    // right; one may overlap the last.
    void Want(int from, int to);
    // Whether a column of first..end - 1 is wanted; any columns, those outside the range count
    // as not wanted.
    bool AnyIn(int first, int end) const { return end > first && Before(end) > Before(first); }

private:
    // How many wanted columns lie left of `column`.
    int Before(int column) const {
        const int i = column - m_firstColumn;
        if (i <= 0) {
            return 0;
        }
        return i < m_filled ? m_before[static_cast<std::size_t>(i)] : m_count;
    }

    int m_firstColumn = 0;
    // m_before[i]: wanted columns among the first i of the range, known for i < m_filled; from
    // it nothing more is wanted, so all m_count lie left.
    std::vector<int> m_before;
    int m_filled = 0;
    int m_count = 0;
};

}  // namespace orva
