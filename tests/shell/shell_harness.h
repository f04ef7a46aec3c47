// What the shell tests run on: the shell's own frame logic driven through a fake frame and the
// recording fake window, a fake core runtime, and a test-only screen kind that writes its life
// events into a journal.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "AppDelegate.h"
#include "MainFrame.h"
#include "orvan_test/fake_window.h"
#include "orvan_wnd/host.h"

namespace shell_test {

// Everything that happened, in order: screen life events and core start/stop.
class Journal {
  public:
    static Journal& Get();
    void Add(std::string event) { events_.push_back(std::move(event)); }
    const std::vector<std::string>& Events() const { return events_; }
    void Clear() { events_.clear(); }
    // Events that start with prefix.
    std::vector<std::string> Matching(const std::string& prefix) const;

  private:
    std::vector<std::string> events_;
};

// A test-only screen kind. Each object gets a serial number ("probe#3"); every event it receives
// is journaled as "<event> probe#3", so a test can tell visits apart even when the allocator hands
// out the same address again.
class ProbeScreen final : public ORVAN_UXClass::ORVAN_UXViewController {
  public:
    ProbeScreen(orvan::wnd::Window* view, ORVAN_UXClass::ORVAN_UXObjectjList* objectList,
                ORVAN_UXClass::AppDelegate* delegate);
    ~ProbeScreen() override;

    void OnActivate() override;
    void OnDeactivate() override;
    void OnTimer(uint32_t timerId) override;
    void OnSize(int32_t cx, int32_t cy) override;
    void OnMouseMove(int32_t x, int32_t y) override;
    void OnListClick(int32_t row, int64_t* result) override;
    void OnListItemActivate(int32_t row) override;
    void OnListRightClick(int32_t row, orvan::wnd::Point point) override;
    void OnListColumnClick(int32_t column) override;
    void OnListCopy(int32_t row) override;

    // Posts a navigation request naming this screen, as a screen's button or timer would.
    void RequestActivity(int32_t id);

    const std::string& Name() const { return name_; }
    static bool IsLive(const ORVAN_UXClass::ORVAN_UXViewController* screen);

  private:
    std::string name_;
    static std::set<const ORVAN_UXClass::ORVAN_UXViewController*> live_;
};

// Screens for the tests: the welcome screen and two probe kinds.
inline constexpr int32_t kProbeId = 1001;
inline constexpr int32_t kOtherProbeId = 1003;
extern const ORVAN_UXClass::ActivityEntry kTestActivities[3];

// The main frame's window as the shell sees it, recording what the shell asked of it.
class FakeFrame final : public orvan::wnd::FrameWindow {
  public:
    explicit FakeFrame(orvan::wnd::Window* view) : view_(view) {}

    orvan::wnd::Window* CreateView(orvan::wnd::ViewHandler& handler) override {
        handler_ = &handler;
        return view_;
    }
    orvan::wnd::ScreenMetrics GetScreenMetrics() const override { return metrics; }
    void RemoveMaximizeBox() override { calls.push_back("RemoveMaximizeBox"); }
    void RemoveMenu() override { calls.push_back("RemoveMenu"); }
    void MoveWindow(int32_t left, int32_t top, int32_t width, int32_t height) override;
    void SetTitle(const std::wstring& title) override { this->title = title; }
    void Show() override { calls.push_back("Show"); }
    void PostClose() override { ++close_requests; }

    orvan::wnd::ScreenMetrics metrics{1920, 1080, 23, 3, 3, 1, 1};
    std::vector<std::string> calls;
    std::wstring title;
    int close_requests = 0;

  private:
    orvan::wnd::Window* view_;
    orvan::wnd::ViewHandler* handler_ = nullptr;
};

// A running shell on fakes: frame logic created, core started (or not), messages pumped by hand.
class ShellTest : public ::testing::Test {
  protected:
    ShellTest();
    ~ShellTest() override;

    // Runs the frame's creation against the fakes.
    int32_t Create();
    // Hands every message posted since the last pump to the child view, in posting order,
    // including those posted while pumping.
    void Pump();
    // Posts and handles one navigation request.
    void Navigate(int64_t requester, int64_t next);

    ORVAN_UXClass::AppDelegate& Delegate() { return main_frame_.ChildView().Delegate(); }
    CChildView& View() { return main_frame_.ChildView(); }
    ORVAN_UXClass::ORVAN_UXViewController* Current() { return Delegate().current_activity; }
    ProbeScreen* CurrentProbe() { return dynamic_cast<ProbeScreen*>(Current()); }
    std::vector<orvan::fake::PostedMessage> NavigationsPosted() const;

    orvan::fake::FakeWindow window_;
    FakeFrame frame_{&window_};
    int32_t core_start_result_ = 0;
    CMainFrame main_frame_;

  private:
    size_t pumped_ = 0;
};

}  // namespace shell_test
