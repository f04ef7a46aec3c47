// What the tests of the device-management screens (settings menus, option, status and GPIO pages)
// run on: the recording fake window with their bitmaps, and a navigator whose activity table is
// the program's, cut down to these screens. Requests for any other screen (the start screen, the
// settings transfer screens) therefore build nothing, and nothing here opens a socket.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "AppDelegate.h"
#include "orvan_test/fake_window.h"

namespace form_test {

// Every id of a management screen kind, in activity-table order.
std::vector<int32_t> ManagementScreenIds();
// The class name of management screen id, from its kind's table.
std::string ManagementScreenClassName(int32_t id);

class ManagementScreenTest : public ::testing::Test {
  protected:
    ManagementScreenTest();
    ~ManagementScreenTest() override;

    // Builds and activates the screen for id, as the navigator does; null for an id outside
    // the table.
    ORVAN_UXClass::ORVAN_UXViewController* Open(int32_t id);
    template <class Screen>
    Screen* OpenAs(int32_t id) {
        return dynamic_cast<Screen*>(Open(id));
    }
    // Every drawing call of one paint of the current screen.
    std::vector<std::string> Paint();
    // A press and release at (x, y), through the object list.
    void Click(int32_t x, int32_t y);
    // The ids of the navigation requests posted since the last StartAfresh, in order.
    std::vector<int64_t> RequestedIds() const;
    // The requester of the last navigation request.
    int64_t LastRequester() const;
    // Handles what was posted so far, releases the current screen and forgets the requests: the
    // next case of a table starts afresh.
    void StartAfresh();
    // Hands the posted navigation requests to the navigator, in order.
    void Pump();
    // A record with a transport and an open connection, so that dropping it shows.
    void OpenConnection();
    bool ConnectionOpen() const { return Record().conn_handle != -1; }

    ORVAN_UXClass::corvaniot_network& Record() const { return *delegate_.device; }
    ORVAN_UXClass::AppDelegate& Delegate() { return delegate_; }

    orvan::fake::FakeWindow window_;

  private:
    std::vector<ORVAN_UXClass::ActivityEntry> table_;
    mutable ORVAN_UXClass::AppDelegate delegate_;
    size_t pumped_ = 0;
    size_t forgotten_ = 0;
};

// "StretchBlt bitmap <id> at (x,y) wxh", as the fake records it.
std::string Blt(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height);
// A standard push button's normal bitmap at (x, y).
std::string ButtonAt(int32_t x, int32_t y);
// A radio box's bitmap at (x, y): the checked or the unchecked normal look.
std::string BoxAt(int32_t x, int32_t y, bool checked);
// Whether lines hold line.
bool Has(const std::vector<std::string>& lines, const std::string& line);
// How many lines start with prefix.
int CountStarting(const std::vector<std::string>& lines, const std::string& prefix);

}  // namespace form_test
