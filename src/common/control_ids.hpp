#pragma once
// The checks that a window's tables of control numbers stand, made when the
// window compiles: a table one row short is filled with zeros, and a row
// copied from the one above names its controls twice, which the compiler
// would otherwise let pass.
#include <algorithm>
#include <array>
#include <cstddef>

namespace orvane {

// True when the listed members of rows first..N-1 are all numbers of
// controls (none is 0, the number of no control) and no two are the same.
template <class Row, std::size_t N, class... Members>
constexpr bool controlIdsStand(const std::array<Row, N>& rows, std::size_t first, Members... members) {
    std::array<int, N * sizeof...(Members)> ids{};
    std::size_t count = 0;
    for (std::size_t r = first; r < N; ++r) ((ids[count++] = rows[r].*members), ...);
    std::sort(ids.begin(), ids.begin() + static_cast<std::ptrdiff_t>(count));
    for (std::size_t k = 0; k < count; ++k)
        if (ids[k] == 0 || (k > 0 && ids[k] == ids[k - 1])) return false;
    return true;
}

}  // namespace orvane
