// The contract on the recording fake the screens' tests stand on: a fake that broke it would let
// those tests pass on screens that fail on the real layers.
#include <map>

#include "orvan_test/fake_window.h"
#include "window_contract.h"

namespace contract {
namespace {

using namespace std::chrono_literals;

// The fake delivers nothing by itself: what it took stands for what a handler gets, and its
// running timers tick on a clock of the harness's own, one millisecond per step.
class FakeHarness {
  public:
    bool Ready() { return true; }
    orvan::wnd::Window& View() { return window_; }

    bool RunUntil(const std::function<bool()>& done) {
        for (auto waited = 0ms; !done(); waited += 10ms) {
            if (waited > 5s) return false;
            RunFor(10ms);
        }
        return true;
    }
    void RunFor(std::chrono::milliseconds time) {
        for (auto step = 0ms; step < time; ++step) {
            ++now_;
            for (const auto& [id, period] : window_.ActiveTimers()) {
                if (period != 0 && now_ % period == 0) ticks_.push_back(id);
            }
        }
    }

    std::vector<Posted> Delivered() {
        std::vector<Posted> delivered;
        for (const orvan::fake::PostedMessage& posted : window_.PostedMessages())
            delivered.push_back({posted.message, posted.wparam, posted.lparam});
        return delivered;
    }
    bool DeliveredOnUiThreadOnly() { return true; }
    std::vector<uint32_t> Ticks() { return ticks_; }
    void DestroyView() { window_.SetIsWindow(false); }

    int32_t ShownRowCount(orvan::wnd::ListControl&) {
        const auto contents = window_.ListControl(kListId);
        return contents ? static_cast<int32_t>(contents->rows.size()) : 0;
    }
    std::wstring ShownText(orvan::wnd::ListControl&, int32_t row, int32_t column) {
        const auto contents = window_.ListControl(kListId);
        if (!contents || row >= static_cast<int32_t>(contents->rows.size())) return L"<no row>";
        const std::vector<std::wstring>& cells = contents->rows[row];
        return column < static_cast<int32_t>(cells.size()) ? cells[column] : std::wstring();
    }

    std::wstring ClipboardText() { return window_.ClipboardText(); }
    void SetUrlHandler(std::function<bool(const std::string&)> handler) {
        window_.SetUrlHandler(std::move(handler));
    }

  private:
    orvan::fake::FakeWindow window_;
    uint64_t now_ = 0;
    std::vector<uint32_t> ticks_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, WindowContract, FakeHarness);

}  // namespace
}  // namespace contract
