#include "WelcomeActivity/WelcomeActivity.h"

#include "MainFrame.h"
#include "orvan_ux/ux_conventions.h"
#include "orvan_ux/ux_messages.h"

namespace ORVAN_UXClass {

int32_t welcome_shown = 0;

namespace {

constexpr int32_t kBackgroundBitmap = 1000;
constexpr int32_t kButtonX = 265;
constexpr int32_t kQuitY = 320;
// The Test button sits this far below the top of the Quit button's height.
constexpr int32_t kTestGap = 330;

void CloseProgram() {
    if (g_mainFrame != nullptr) g_mainFrame->PostCloseRequest();
}

ORVAN_UXButtonDesc WelcomeButtonDesc(std::wstring text, int32_t y, ORVAN_UXCallback onClick) {
    ORVAN_UXButtonDesc desc = UXStandardButtonDesc(std::move(text), kButtonX, y, onClick);
    desc.onRelease = ORVAN_UXCallbackSlot{nullptr, 0, 0};
    return desc;
}

}  // namespace

WelcomeActivity::WelcomeActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList,
                                 AppDelegate* delegate)
    : ORVAN_UXViewController(view, objectList, delegate) {
    ORVAN_UXBitmapDesc desc = UXBackgroundDesc(kBackgroundBitmap);
    desc.textColor = 0xffffff;
    objectList->AddBitmap(this, background, desc);
}

WelcomeActivity::~WelcomeActivity() {
    objectList->RemoveAll();
    testButton.Reset();
    quitButton.Reset();
    background.Reset();
}

void WelcomeActivity::CreateView() {
    objectList->AddButton(this, quitButton, WelcomeButtonDesc(L"Quit", kQuitY, &OnQuitClicked));
    const int32_t testY = quitButton->GetHeight() + kTestGap;
    objectList->AddButton(this, testButton, WelcomeButtonDesc(L"Test", testY, &OnTestClicked));
}

void WelcomeActivity::OnActivate() {
    if (welcome_shown != 0) {
        delegate->has_navigated = false;
        CloseProgram();
        return;
    }
    welcome_shown = 1;
}

void WelcomeActivity::OnBack() {
    CloseProgram();
}

int WelcomeActivity::OnQuitClicked(ORVAN_UXViewController* /*userData*/, int64_t /*arg1*/, int64_t /*arg2*/) {
    CloseProgram();
    return 0;
}

int WelcomeActivity::OnTestClicked(ORVAN_UXViewController* userData, int64_t /*arg1*/, int64_t /*arg2*/) {
    auto* self = static_cast<WelcomeActivity*>(userData);
    if (self->leaving != 0) return 0;
    self->leaving = 1;
    self->delegate->home_activity_id = kDeviceListActivityId;
    self->view->PostMessage(MSG_ACTIVITY_NAVIGATE, RequesterParam(self), kDeviceListActivityId);
    return 0;
}

std::unique_ptr<ORVAN_UXViewController> MakeWelcomeActivity(orvan::wnd::Window* view,
                                                            ORVAN_UXObjectjList* objectList,
                                                            AppDelegate* delegate) {
    auto screen = std::make_unique<WelcomeActivity>(view, objectList, delegate);
    screen->CreateView();
    screen->leaving = 0;
    return screen;
}

}  // namespace ORVAN_UXClass
