// Look-ups in the constexpr tables that describe screens: rows keyed by activity id, each with
// the class name of its screen.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ORVAN_UXClass {

// The row of table whose id is id, or null.
template <class Row, size_t N>
constexpr const Row* FindRowById(const std::array<Row, N>& table, int32_t id) {
    for (const Row& row : table) {
        if (row.id == id) return &row;
    }
    return nullptr;
}

// Whether table has a row for id whose class is named name.
template <class Row, size_t N>
constexpr bool RowNamed(const std::array<Row, N>& table, int32_t id, std::string_view name) {
    const Row* row = FindRowById(table, id);
    return row != nullptr && row->className == name;
}

}  // namespace ORVAN_UXClass
