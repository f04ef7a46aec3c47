// Look-ups in the constexpr tables that describe screens: rows keyed by activity id, each with
// the class name of its screen. Compile-time checks go by index: with the undefined-behaviour
// sanitizer on, GCC does not treat a comparison of a table row's address as a constant.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ORVAN_UXClass {

inline constexpr size_t kNoRow = static_cast<size_t>(-1);

// The index of the row of table whose id is id, or kNoRow.
template <class Row, size_t N>
constexpr size_t RowIndexById(const std::array<Row, N>& table, int32_t id) {
    for (size_t i = 0; i < N; ++i) {
        if (table[i].id == id) return i;
    }
    return kNoRow;
}

// The row of table whose id is id, or null.
template <class Row, size_t N>
constexpr const Row* FindRowById(const std::array<Row, N>& table, int32_t id) {
    const size_t index = RowIndexById(table, id);
    return index == kNoRow ? nullptr : &table[index];
}

// Whether table has a row for id whose class is named name.
template <class Row, size_t N>
constexpr bool RowNamed(const std::array<Row, N>& table, int32_t id, std::string_view name) {
    const size_t index = RowIndexById(table, id);
    return index != kNoRow && table[index].className == name;
}

}  // namespace ORVAN_UXClass
