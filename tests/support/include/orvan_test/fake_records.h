// Plain records the recording fake hands to tests: posted messages and list-control contents.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvan::fake {

struct PostedMessage {
    uint32_t message = 0;
    int64_t wparam = 0;
    int64_t lparam = 0;
    friend bool operator==(const PostedMessage&, const PostedMessage&) = default;
};

struct FakeListColumn {
    std::wstring heading;
    int32_t width = 0;
    friend bool operator==(const FakeListColumn&, const FakeListColumn&) = default;
};

// What a list control created through the fake window holds, as a snapshot.
struct FakeListContents {
    int32_t controlId = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    std::vector<FakeListColumn> columns;
    std::vector<std::vector<std::wstring>> rows;  // each row as wide as its widest set column
    int32_t selected = -1;                        // the highlighted row the program set
    int32_t sortColumn = -1;                      // the heading with a sort arrow
    bool sortAscending = true;
    std::wstring emptyText;                       // shown while the list has no row
    bool windowDestroyed = false;                 // DestroyWindow was called
    bool deleted = false;                         // the control object is gone
};

}  // namespace orvan::fake
