#include "LiveVideoActivity/LiveVideoActivity.h"

#include <algorithm>
#include <iterator>
#include <new>

#include "liborvaniot_os/liborvaniot_os_mutex.h"
#include "liborvaniot_os/liborvaniot_os_report_labels.h"
#include "orvan_ux/ux_conventions.h"
#include "orvan_ux/ux_messages.h"

namespace ORVAN_UXClass {

namespace {

constexpr const char* kSource = liborvaniot_os_report_labels::kLiveVideo;
constexpr char kStartCaller[] = "ORVAN_UXClass::LiveVideoActivity::live_video_activity_start_thread";

constexpr size_t kWorkBlockSize = 48;
constexpr size_t kFrameWorkBlockSize = 304;
constexpr uint32_t kTimerPeriodMs = 1000;
constexpr uint32_t kWorkerPollMs = 10;

constexpr wchar_t kCaptionFace[] = L"Arial Unicode MS";
constexpr int32_t kCaptionHeight = 16;
constexpr int32_t kCaptionWeight = 100;

// An uncompressed 24-bit frame whose size is not known yet.
orvan::wnd::BitmapInfoHeader EmptyFrameHeader() {
    orvan::wnd::BitmapInfoHeader header;
    header.size = orvan::wnd::BITMAP_INFO_HEADER_SIZE;
    header.planes = 1;
    header.bitCount = 24;
    return header;
}

}  // namespace

LiveVideoActivity::LiveVideoActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList,
                                     AppDelegate* delegate)
    : ORVAN_UXViewController(view, objectList, delegate) {
    objectList->AddButton(this, prevButton, UXPrevButtonDesc());
    record = delegate->device.get();
    PreparePictureResources();
}

LiveVideoActivity::~LiveVideoActivity() {
    // The navigator deactivates a screen before deleting it; should that not have happened, the
    // worker must still not outlive the record it polls.
    StopTimerAndWorker();
    frameWorkBlock.Release();
    secondBuffer.Release();
    workBlock.Release();
    frameBuffer.Release();
    drawDib.reset();
    captionFont.reset();
    captionFontDesc.Release();
    objectList->RemoveAll();
    prevButton.Reset();
}

void LiveVideoActivity::PreparePictureResources() {
    // Without the small work block or the frame buffer the screen goes on without any picture
    // resources: no drawing object and no caption font.
    if (!workBlock.Allocate(kWorkBlockSize, kSource, __LINE__)) return;
    if (!frameBuffer.Allocate(kLiveVideoFrameBufferSize, kSource, __LINE__)) return;
    frameWorkBlock.Allocate(kFrameWorkBlockSize, kSource, __LINE__);
    sourceHeader = EmptyFrameHeader();
    targetHeader = EmptyFrameHeader();
    if (!drawDib) drawDib = view->OpenPictureDrawer();
    PrepareCaptionFont();
}

void LiveVideoActivity::PrepareCaptionFont() {
    if (!captionFontDesc.Allocate(sizeof(orvan::wnd::FontDesc), kSource, __LINE__)) return;
    auto* desc = new (captionFontDesc.data()) orvan::wnd::FontDesc{};
    desc->height = kCaptionHeight;
    desc->weight = kCaptionWeight;
    std::copy(std::begin(kCaptionFace), std::end(kCaptionFace), desc->faceName);
    captionFont = view->CreateFontIndirect(*desc);
}

void LiveVideoActivity::OnTimer(uint32_t) {
    if (timerStep != nullptr) (this->*timerStep)();
}

void LiveVideoActivity::OnPaint(orvan::wnd::DeviceContext*, bool, bool) {}

void LiveVideoActivity::OnMouseMove(int32_t x, int32_t y) {
    mouseX = x;
    mouseY = y;
    view->PostMessage(MSG_ACTIVITY_REPAINT, 0, 0);
}

void LiveVideoActivity::OnActivate() {
    leaving = 0;
    live_video_activity_start_thread();
    if (timerStep == nullptr) {
        timerStep = &LiveVideoActivity::RearmTimer;
        view->SetTimer(UX_COUNTDOWN_TIMER_ID, 0);
    }
}

void LiveVideoActivity::OnDeactivate() {
    StopTimerAndWorker();
    if (leaving != 1 && record != nullptr) drop_connection(record);
}

void LiveVideoActivity::OnBack() {
    StopTimerAndWorker();
    if (record != nullptr) drop_connection(record);
    leaving = 1;
    view->PostMessage(MSG_ACTIVITY_NAVIGATE, RequesterParam(this), delegate->home_activity_id);
}

void LiveVideoActivity::live_video_activity_start_thread() {
    // When a lock cannot be created the screen runs without a worker, and stopping does nothing.
    liborvaniot_os_pthread_start(&worker, &workerGuard, this, &live_video_activity_thread_routine,
                                 kStartCaller, __LINE__);
}

void LiveVideoActivity::live_video_activity_stop_thread() {
    if (!liborvaniot_os_mutex_is_present(&workerGuard)) return;
    workerExitValue = liborvaniot_os_pthread_stop(&worker, &workerGuard);
}

int32_t LiveVideoActivity::live_video_activity_thread_routine(liborvaniot_os_pthread* self) {
    do {
        liborvaniot_os_sleep_ms(kWorkerPollMs);
    } while (liborvaniot_os_pthread_check_break(self) != 1);
    return kLiveVideoWorkerExitValue;
}

void LiveVideoActivity::RearmTimer() {
    view->KillTimer(UX_COUNTDOWN_TIMER_ID);
    view->SetTimer(UX_COUNTDOWN_TIMER_ID, kTimerPeriodMs);
}

void LiveVideoActivity::StopTimerAndWorker() {
    if (timerStep != nullptr) {
        view->KillTimer(UX_COUNTDOWN_TIMER_ID);
        timerStep = nullptr;
    }
    live_video_activity_stop_thread();
}

}  // namespace ORVAN_UXClass
