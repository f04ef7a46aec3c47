// The window layer on Qt, on the offscreen platform, beyond the window layers' common contract
// (tests/window_contract): the backing image, resources, mouse and cursor routing, the list
// control's place and notifications, and the welcome screen drawn for real (saved as
// artifacts/shell/welcome_screen.png).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTableWidget>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <functional>
#include <mutex>

#include "MainFrame.h"
#include "WelcomeActivity/WelcomeActivity.h"
#include "orvan_test/qt_test_app.h"
#include "orvan_ux/ux_messages.h"
#include "orvan_wnd/host.h"
#include "qt_child_view.h"
#include "qt_frame.h"
#include "qt_picture.h"
#include "qt_resources.h"

namespace {

using ::testing::ElementsAre;

using orvan_test::ProcessQtEventsUntil;
using orvan_test::QtTestApplication;

// Keeps a picture for a person to look at, when the run names a folder for that.
void SaveArtifact(const QImage& image, const char* name) {
    const char* artifacts = std::getenv("ORVAN_ARTIFACT_DIR");
    if (artifacts == nullptr) return;
    std::filesystem::create_directories(artifacts);
    image.save(QString::fromUtf8(artifacts) + "/" + name);
}

void ProcessFor(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// A view handler that journals what reaches it.
class RecordingHandler final : public orvan::wnd::ViewHandler {
  public:
    void OnSize(uint32_t, int32_t cx, int32_t cy) override {
        Add("size " + std::to_string(cx) + "x" + std::to_string(cy));
    }
    void OnPaint(orvan::wnd::DeviceContext& dc) override {
        ++paints;
        if (paint) paint(dc);
    }
    bool OnEraseBkgnd(orvan::wnd::DeviceContext&) override { return true; }
    void OnLButtonDown(uint32_t flags, orvan::wnd::Point p) override { Add("down", flags, p); }
    void OnLButtonDblClk(uint32_t flags, orvan::wnd::Point p) override { Add("dblclk", flags, p); }
    void OnMouseMove(uint32_t flags, orvan::wnd::Point p) override { Add("move", flags, p); }
    void OnLButtonUp(uint32_t flags, orvan::wnd::Point p) override { Add("up", flags, p); }
    void OnTimer(uint32_t) override {}
    bool OnSetCursor(std::optional<orvan::wnd::Point>) override { return keep_cursor; }
    int64_t OnMessage(uint32_t, int64_t, int64_t) override { return 0; }
    void OnNotify(const orvan::wnd::ListNotification& n, int64_t*) override {
        Add("notify " + std::to_string(n.controlId) + " " + std::to_string(n.code) + " " +
            std::to_string(n.item));
    }

    std::vector<std::string> Events() {
        std::lock_guard lock(mutex);
        return events;
    }
    void Clear() {
        std::lock_guard lock(mutex);
        events.clear();
    }
    void Add(std::string event) {
        std::lock_guard lock(mutex);
        events.push_back(std::move(event));
    }
    void Add(const char* what, uint32_t flags, orvan::wnd::Point p) {
        Add(std::string(what) + " " + std::to_string(flags) + " (" + std::to_string(p.x) + "," +
            std::to_string(p.y) + ")");
    }

    std::mutex mutex;
    std::vector<std::string> events;
    bool keep_cursor = true;
    int paints = 0;
    std::function<void(orvan::wnd::DeviceContext&)> paint;
};

class NoFrameEvents final : public orvan::wnd::FrameHandler {
  public:
    int32_t OnCreate(orvan::wnd::FrameWindow&) override { return 0; }
    void OnClose() override {}
};

// A Qt frame with a child view of 960 by 540 whose events go to handler_.
class QtViewTest : public ::testing::Test {
  protected:
    QtViewTest() {
        QtTestApplication();
        frame_ = std::make_unique<orvan::wnd::qt::QtFrame>(frame_events_);
        window_ = frame_->CreateView(handler_);
        view_ = frame_->View();
        frame_->resize(960, 540);
        frame_->Show();
        ProcessQtEventsUntil([&] { return view_->isVisible() && view_->width() == 960; });
        handler_.events.clear();
    }

    QRgb Shown(int x, int y) { return view_->grab().toImage().pixel(x, y) & 0xffffff; }

    void Send(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons, QPointF at,
              QWidget* target = nullptr) {
        QWidget* receiver = target != nullptr ? target : view_;
        QMouseEvent event(type, at, receiver->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(receiver, &event);
    }

    NoFrameEvents frame_events_;
    RecordingHandler handler_;
    std::unique_ptr<orvan::wnd::qt::QtFrame> frame_;
    orvan::wnd::Window* window_ = nullptr;
    orvan::wnd::qt::QtChildView* view_ = nullptr;
};

TEST_F(QtViewTest, PixelsDrawnOutsideAPaintStayAndRepaintsNeverEraseThem) {
    window_->GetDC()->FillSolidRect(10, 10, 20, 20, orvan::wnd::RGB(255, 0, 0));
    ProcessFor(20);
    EXPECT_EQ(Shown(15, 15), 0xff0000u);
    EXPECT_EQ(Shown(40, 40), 0xffffffu) << "never drawn: the window background";

    // A repaint whose handler draws elsewhere keeps the earlier pixels.
    handler_.paint = [](orvan::wnd::DeviceContext& dc) {
        dc.FillSolidRect(100, 100, 10, 10, orvan::wnd::RGB(0, 0, 255));
    };
    const int paints = handler_.paints;
    window_->Invalidate(true);
    ASSERT_TRUE(ProcessQtEventsUntil([&] { return handler_.paints > paints; }));
    EXPECT_EQ(Shown(105, 105), 0x0000ffu);
    EXPECT_EQ(Shown(15, 15), 0xff0000u);
}

TEST_F(QtViewTest, ResourcesAreFoundByIdAndMissingOnesAreNull) {
    struct Case {
        int32_t id;
        int32_t width;
        int32_t height;
    };
    for (const Case& c : {Case{621, 114, 30}, Case{1000, 622, 430}, Case{400, 1, 54}, Case{4721, 151, 48}}) {
        SCOPED_TRACE(c.id);
        const auto bitmap = window_->LoadBitmapResource(c.id);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->Width(), c.width);
        EXPECT_EQ(bitmap->Height(), c.height);
        EXPECT_EQ(bitmap->ResourceId(), c.id);
    }
    EXPECT_EQ(window_->LoadBitmapResource(99999), nullptr);
    EXPECT_EQ(window_->LoadBitmapResource(0), nullptr);
    const orvan::wnd::CursorHandle hand = window_->LoadCursorResource(500);
    EXPECT_NE(hand, nullptr);
    EXPECT_EQ(window_->LoadCursorResource(500), hand);
    EXPECT_EQ(window_->LoadCursorResource(501), nullptr);
    EXPECT_FALSE(orvan::wnd::qt::AppIcon().isNull());
}

TEST_F(QtViewTest, LeftButtonEventsReachTheHandlerWithTheirFlags) {
    Send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {10, 20});
    Send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {11, 21});
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {12, 22});
    Send(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, {12, 22});
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {12, 22});
    Send(QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {5, 5});  // not ours
    Send(QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, {5, 5});
    EXPECT_THAT(handler_.Events(), ElementsAre("down 1 (10,20)", "move 1 (11,21)", "up 0 (12,22)",
                                               "dblclk 1 (12,22)", "up 0 (12,22)"));
}

TEST_F(QtViewTest, CursorChosenForTheViewStaysOnlyWhileTheHandlerKeepsIt) {
    const orvan::wnd::CursorHandle hand = window_->LoadCursorResource(500);
    window_->SetCursor(hand);
    handler_.keep_cursor = true;
    Send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {30, 30});
    EXPECT_EQ(window_->GetCursor(), hand);
    EXPECT_NE(view_->cursor().shape(), Qt::ArrowCursor);
    handler_.keep_cursor = false;
    Send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {31, 31});
    EXPECT_EQ(window_->GetCursor(), window_->ArrowCursor());
    EXPECT_EQ(view_->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(QtViewTest, ListControlShowsItsColumnsWhereAskedAndReportsRowClicks) {
    auto list = window_->CreateListControl(1, 171, 71, 940, 520);
    auto* table = view_->findChild<QTableWidget*>();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->geometry(), QRect(171, 71, 769, 449));
    list->InsertColumn(0, L"Model", 120);
    list->InsertColumn(1, L"MAC", 130);
    for (int i = 0; i < 20; ++i) {
        const int32_t row = list->InsertItem(list->GetItemCount(), L"Model " + std::to_wstring(i));
        list->SetItemText(row, 1, L"00:11:22:33:44:" + std::to_wstring(10 + i));
    }
    ASSERT_TRUE(ProcessQtEventsUntil([&] { return table->rowCount() == 20; }));
    EXPECT_EQ(table->horizontalHeaderItem(1)->text(), "MAC");
    EXPECT_EQ(table->columnWidth(0), 120);
    SaveArtifact(view_->grab().toImage(), "list_control.png");

    // Row clicks go to the view with the row index, -1 below the last row.
    list->DeleteAllItems();
    list->InsertItem(0, L"only row");
    const int rowY = table->rowViewportPosition(0) + 2;
    Send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {5, double(rowY)}, table->viewport());
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {5, double(rowY)}, table->viewport());
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {5, 300}, table->viewport());
    EXPECT_THAT(handler_.Events(), ElementsAre("notify 1 -2 0", "notify 1 -2 -1"));

    // The arrow keys move the current row, and the view hears where it went.
    list->InsertItem(1, L"second row");
    ASSERT_TRUE(ProcessQtEventsUntil([&] { return table->rowCount() == 2; }));
    handler_.Clear();
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(table, &press);
    }
    EXPECT_THAT(handler_.Events(), ElementsAre("notify 1 -101 1", "notify 1 -101 0"));

    EXPECT_TRUE(list->DestroyWindow());
    EXPECT_EQ(view_->findChild<QTableWidget*>(), nullptr);
    EXPECT_FALSE(list->DestroyWindow());
    list->InsertItem(2, L"after the window");  // the model stays usable
    EXPECT_EQ(list->GetItemCount(), 3);
}

TEST_F(QtViewTest, PictureDrawerAndFontsComeFromTheViewAsDescribed) {
    EXPECT_NE(window_->OpenPictureDrawer(), nullptr);
    orvan::wnd::FontDesc desc;
    desc.height = 16;
    desc.weight = 100;
    std::wcsncpy(desc.faceName, L"Arial Unicode MS", orvan::wnd::FONT_FACE_SIZE - 1);
    EXPECT_NE(window_->CreateFontIndirect(desc), nullptr);

    const QFont thin = orvan::wnd::qt::QFontFromDesc(desc);
    EXPECT_EQ(thin.family(), QString("Arial Unicode MS"));
    EXPECT_EQ(thin.pixelSize(), 16);
    EXPECT_EQ(thin.weight(), QFont::Thin);
    EXPECT_FALSE(thin.italic());

    // A character height (negative), no weight and the style flags.
    desc.height = -20;
    desc.weight = 0;
    desc.italic = 1;
    desc.underline = 1;
    const QFont styled = orvan::wnd::qt::QFontFromDesc(desc);
    EXPECT_EQ(styled.pixelSize(), 20);
    EXPECT_EQ(styled.weight(), QFont::Normal);
    EXPECT_TRUE(styled.italic());
    EXPECT_TRUE(styled.underline());
}

TEST_F(QtViewTest, TextPromptTakesOnlyWhatItsCheckAcceptsAndShowsWhyNot) {
    // The user, played from the dialog's own event loop: type, press OK, read, correct, press OK.
    std::vector<QString> errorsSeen;
    const auto play = [&](const std::vector<QString>& typed, bool cancelAtEnd) {
        auto* timer = new QTimer(view_);
        QObject::connect(timer, &QTimer::timeout, [this, &errorsSeen, timer, typed, cancelAtEnd, step = size_t{0}]() mutable {
            auto* dialog = view_->findChild<QDialog*>("textPrompt");
            if (dialog == nullptr || !dialog->isVisible()) return;
            auto* error = dialog->findChild<QLabel*>("error");
            if (step > 0 && error->isVisible()) errorsSeen.push_back(error->text());
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            if (step == typed.size()) {
                timer->stop();
                buttons->button(cancelAtEnd ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok)->click();
                return;
            }
            dialog->findChild<QLineEdit*>()->setText(typed[step++]);
            buttons->button(QDialogButtonBox::Ok)->click();
        });
        timer->start(10);
        return std::unique_ptr<QTimer>(timer);
    };
    orvan::wnd::TextPrompt prompt;
    prompt.title = L"Scan addresses";
    prompt.label = L"Addresses";
    prompt.text = L"10.0.0.1";
    prompt.check = [](const std::wstring& text) { return text.find(L"x") != std::wstring::npos ? L"no x here" : L""; };

    std::unique_ptr<QTimer> user = play({"10.0.0.x", "10.2.0.0/24"}, false);
    EXPECT_EQ(window_->PromptText(prompt), std::optional<std::wstring>(L"10.2.0.0/24"));
    user.reset();
    EXPECT_THAT(errorsSeen, ElementsAre("no x here"));

    errorsSeen.clear();
    user = play({"x"}, true);
    EXPECT_EQ(window_->PromptText(prompt), std::nullopt) << "refused, then cancelled";
    EXPECT_THAT(errorsSeen, ElementsAre("no x here"));
}

TEST(QtFrameTest, WelcomeScreenDrawnThroughTheWindowLayer) {
    QtTestApplication();
    static constexpr ORVAN_UXClass::ActivityEntry kActivities[] = {
        {1000, 1, &ORVAN_UXClass::MakeWelcomeActivity}};
    ORVAN_UXClass::welcome_shown = 0;
    CMainFrame main_frame(kActivities, CoreRuntime{[] { return 0; }, [] {}});
    std::unique_ptr<orvan::wnd::FrameWindow> window = QtTestApplication().CreateFrame(main_frame);
    ASSERT_NE(window, nullptr);
    auto* frame = dynamic_cast<orvan::wnd::qt::QtFrame*>(window.get());
    ASSERT_NE(frame, nullptr);
    window->Show();
    EXPECT_FALSE(frame->windowFlags() & Qt::WindowMaximizeButtonHint);
    ASSERT_TRUE(ProcessQtEventsUntil([&] { return frame->View()->size() == QSize(960, 540); }))
        << "client area " << frame->View()->width() << "x" << frame->View()->height();

    // The start request names 1001, which this table lacks; 0 opens the welcome screen.
    frame->View()->PostMessage(ORVAN_UXClass::MSG_ACTIVITY_NAVIGATE, -1, 0);
    ASSERT_TRUE(ProcessQtEventsUntil([&] { return main_frame.ChildView().Delegate().current_activity_id == 1000; }));
    ProcessFor(50);
    const QImage shown = frame->View()->grab().toImage().convertToFormat(QImage::Format_RGB32);

    SaveArtifact(shown, "welcome_screen.png");
    const auto background = frame->View()->LoadBitmapResource(1000);
    const auto button = frame->View()->LoadBitmapResource(621);
    const QImage& backgroundImage = static_cast<orvan::wnd::qt::QtBitmap&>(*background).Image();
    const QImage& buttonImage = static_cast<orvan::wnd::qt::QtBitmap&>(*button).Image();
    EXPECT_EQ(shown.pixel(5, 5), backgroundImage.pixel(5, 5));
    EXPECT_EQ(shown.pixel(600, 400), backgroundImage.pixel(600, 400));
    EXPECT_EQ(shown.pixel(266, 321), buttonImage.pixel(1, 1)) << "Quit button";
    EXPECT_EQ(shown.pixel(266, 361), buttonImage.pixel(1, 1)) << "Test button";
    EXPECT_EQ(shown.pixel(700, 500) & 0xffffff, 0xffffffu) << "outside the background";

    main_frame.OnClose();
    EXPECT_EQ(main_frame.ChildView().Delegate().current_activity, nullptr);
}

TEST_F(QtViewTest, TextThatIsNoUrlNeverReachesTheDesktop) {
    EXPECT_FALSE(window_->OpenUrl("no scheme here"));
}

}  // namespace
