// The device list's rows on the recording fake list control: where rows go under each order,
// entries staying beside their rows, and the chosen device keeping its highlight.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "DeviceDrmListActivity/device_list_rows.h"
#include "orvan_test/fake_window.h"

namespace form_test {
namespace {

using ORVAN_UXClass::DeviceEntry;
using ORVAN_UXClass::DeviceListRows;
using ORVAN_UXClass::kDeviceListColumns;
using ORVAN_UXClass::kIpColumn;
using ORVAN_UXClass::RowTexts;

constexpr int32_t kListId = 1;

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// A heading click as the screen handles it: a new order, then the rows put in it.
bool Sort(DeviceListRows& rows, int32_t column, int32_t* selected) {
    if (!rows.OrderBy(column)) return false;
    rows.Resort(selected);
    return true;
}

// A device whose model and name repeat among others (ties fall back to the address).
RowTexts Device(uint32_t n) {
    const std::string ip = "10.0." + std::to_string(n / 256) + "." + std::to_string(n % 256);
    return RowTexts{Wide(n % 3 == 0 ? "cam" : (n % 3 == 1 ? "Cam" : "box")),
                    Wide("02:07:00:00:00:" + std::to_string(n % 100)), Wide(ip),
                    Wide("name-" + std::to_string(n % 7)), Wide("")};
}

class DeviceListRowsTest : public ::testing::Test {
  protected:
    DeviceListRowsTest() {
        list_ = window_.CreateListControl(kListId, 0, 0, 100, 100);
        for (int32_t c = 0; c < kDeviceListColumns; ++c) list_->InsertColumn(c, L"c", 10);
    }

    void Insert(const RowTexts& texts, int32_t* selected = nullptr) {
        ASSERT_GE(rows_.Insert(DeviceEntry{std::string(texts[kIpColumn].begin(), texts[kIpColumn].end()), texts[0]},
                               texts, selected),
                  0);
    }
    std::vector<std::vector<std::wstring>> Shown() const { return window_.ListControl(kListId)->rows; }
    // Every entry sits beside the row of its address.
    void ExpectEntriesBesideRows() const {
        const auto shown = Shown();
        ASSERT_EQ(entries_.size(), shown.size());
        for (size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(Wide(entries_[i].address), shown[i][kIpColumn]) << "row " << i;
            EXPECT_EQ(entries_[i].model, shown[i][0]) << "row " << i;
        }
    }

    orvan::fake::FakeWindow window_;
    std::unique_ptr<orvan::wnd::ListControl> list_;
    std::vector<DeviceEntry> entries_;
    DeviceListRows rows_{list_, entries_};
};

// A list of its own on a window of its own, devices inserted by address.
struct SeparateList {
    SeparateList() : list(window.CreateListControl(kListId, 0, 0, 100, 100)) {}
    void Insert(uint32_t n) {
        const RowTexts texts = Device(n);
        rows.Insert(DeviceEntry{std::string(texts[kIpColumn].begin(), texts[kIpColumn].end()), texts[0]}, texts,
                    nullptr);
    }
    orvan::fake::FakeWindow window;
    std::unique_ptr<orvan::wnd::ListControl> list;
    std::vector<DeviceEntry> entries;
    DeviceListRows rows{list, entries};
};

TEST(DeviceListRows, RowsInsertedUnderAnOrderStandAsTheSameRowsSortedAfterwards) {
    std::vector<uint32_t> devices(300);
    for (uint32_t i = 0; i < devices.size(); ++i) devices[i] = i * 37 % 1000;
    std::shuffle(devices.begin(), devices.end(), std::mt19937(7));
    // The clicks that give each order: a first click ascends, a second one descends.
    const std::vector<std::vector<int32_t>> clicks = {{0}, {0, 0}, {1}, {2}, {2, 2}, {3}, {3, 3}, {3, 2}};
    for (const auto& order : clicks) {
        SCOPED_TRACE(::testing::PrintToString(order));
        SeparateList sortedFirst;
        for (int32_t column : order) Sort(sortedFirst.rows, column, nullptr);
        for (uint32_t n : devices) sortedFirst.Insert(n);
        SeparateList sortedAfter;
        for (uint32_t n : devices) sortedAfter.Insert(n);
        for (int32_t column : order) Sort(sortedAfter.rows, column, nullptr);

        const auto shown = sortedFirst.window.ListControl(kListId)->rows;
        EXPECT_EQ(shown, sortedAfter.window.ListControl(kListId)->rows);
        ASSERT_EQ(shown.size(), devices.size());
        for (size_t i = 0; i < shown.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(Wide(sortedFirst.entries[i].address), shown[i][kIpColumn]) << "entry beside its row";
            EXPECT_EQ(sortedAfter.entries[i].address, sortedFirst.entries[i].address);
        }
    }
}

TEST_F(DeviceListRowsTest, TheChosenDeviceKeepsItsRowAndHighlightThroughInsertsAndSorts) {
    int32_t selected = -1;
    for (uint32_t n : {50u, 10u, 30u}) Insert(Device(n), &selected);
    rows_.Select(1, &selected);
    const std::string chosen = entries_[1].address;
    std::mt19937 random(11);
    for (int step = 0; step < 200; ++step) {
        if (random() % 4 == 0) {
            Sort(rows_, static_cast<int32_t>(random() % kDeviceListColumns), &selected);
        } else {
            Insert(Device(100 + static_cast<uint32_t>(step)), &selected);
        }
        ASSERT_NE(rows_.EntryAt(selected), nullptr) << "step " << step;
        ASSERT_EQ(rows_.EntryAt(selected)->address, chosen) << "step " << step;
        ASSERT_EQ(window_.ListControl(kListId)->selected, selected) << "step " << step;
    }
    ExpectEntriesBesideRows();
}

TEST_F(DeviceListRowsTest, HeadingClicksThatChangeNoOrderTouchNothing) {
    for (uint32_t n : {3u, 1u, 2u}) Insert(Device(n));
    const auto before = Shown();
    int32_t selected = -1;
    for (int32_t column : {-1, kDeviceListColumns, 99}) {
        SCOPED_TRACE(column);
        EXPECT_FALSE(Sort(rows_, column, &selected));
        EXPECT_EQ(Shown(), before);
        EXPECT_EQ(window_.ListControl(kListId)->sortColumn, -1);
        EXPECT_EQ(selected, -1) << "no device was chosen, none is now";
    }
}

TEST_F(DeviceListRowsTest, ClearingKeepsTheOrderForTheRowsThatFollow) {
    Sort(rows_, kIpColumn, nullptr);
    Sort(rows_, kIpColumn, nullptr);  // descending
    for (uint32_t n : {1u, 2u}) Insert(Device(n));
    rows_.Clear();
    EXPECT_EQ(rows_.Count(), 0u);
    EXPECT_TRUE(Shown().empty());
    for (uint32_t n : {9u, 10u, 100u}) Insert(Device(n));
    const auto shown = Shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0][kIpColumn], L"10.0.0.100");
    EXPECT_EQ(shown[2][kIpColumn], L"10.0.0.9");
    ExpectEntriesBesideRows();
}

TEST_F(DeviceListRowsTest, WithoutAListControlNothingIsKept) {
    list_.reset();
    int32_t selected = -1;
    const RowTexts texts = Device(1);
    EXPECT_EQ(rows_.Insert(DeviceEntry{"10.0.0.1", texts[0]}, texts, &selected), -1);
    EXPECT_TRUE(entries_.empty()) << "an entry without its row would break the pairing";
    EXPECT_FALSE(Sort(rows_, 0, &selected));
}

}  // namespace
}  // namespace form_test
