// The contract on the Qt layer: a real frame and child view on an X display, driven by the Qt
// event loop of the test's thread.
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QTableWidget>
#include <cstdlib>
#include <memory>

#include "orvan_test/qt_test_app.h"
#include "orvan_wnd/host.h"
#include "qt_child_view.h"
#include "qt_frame.h"
#include "recording_handler.h"
#include "window_contract.h"

namespace contract {
namespace {

class NoFrameEvents final : public orvan::wnd::FrameHandler {
  public:
    int32_t OnCreate(orvan::wnd::FrameWindow&) override { return 0; }
    void OnClose() override {}
};

class QtHarness {
  public:
    QtHarness() {
        orvan_test::QtTestApplication();
        frame_ = std::make_unique<orvan::wnd::qt::QtFrame>(frame_events_);
        window_ = frame_->CreateView(handler_);
        frame_->resize(960, 540);
        frame_->Show();
        RunUntil([&] { return frame_->View()->isVisible(); });
    }
    ~QtHarness() {
        orvan::wnd::SetUrlOpener({});
        frame_.reset();
        QCoreApplication::processEvents();
    }

    bool Ready() { return window_ != nullptr; }
    orvan::wnd::Window& View() { return *window_; }

    bool RunUntil(const std::function<bool()>& done) { return orvan_test::ProcessQtEventsUntil(done); }
    void RunFor(std::chrono::milliseconds time) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < time.count()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    std::vector<Posted> Delivered() { return handler_.Messages(); }
    bool DeliveredOnUiThreadOnly() { return handler_.OnUiThreadOnly(); }
    std::vector<uint32_t> Ticks() { return handler_.Ticks(); }
    // The frame closes as the user closes it, and the view's window with it.
    void DestroyView() { frame_->close(); }

    int32_t ShownRowCount(orvan::wnd::ListControl&) {
        const QTableWidget* table = Table();
        return table != nullptr ? table->rowCount() : 0;
    }
    std::wstring ShownText(orvan::wnd::ListControl&, int32_t row, int32_t column) {
        const QTableWidget* table = Table();
        const QTableWidgetItem* item = table != nullptr ? table->item(row, column) : nullptr;
        return item != nullptr ? item->text().toStdWString() : std::wstring();
    }

    std::wstring ClipboardText() { return QGuiApplication::clipboard()->text().toStdWString(); }
    void SetUrlHandler(std::function<bool(const std::string&)> handler) {
        orvan::wnd::SetUrlOpener(std::move(handler));
    }

  private:
    QTableWidget* Table() { return frame_->View()->findChild<QTableWidget*>(); }

    NoFrameEvents frame_events_;
    RecordingHandler handler_;
    std::unique_ptr<orvan::wnd::qt::QtFrame> frame_;
    orvan::wnd::Window* window_ = nullptr;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Qt, WindowContract, QtHarness);

}  // namespace
}  // namespace contract
