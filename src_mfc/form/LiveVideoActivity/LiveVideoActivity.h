// The live video screen (activity 1005): holds what showing a device's picture takes (a frame
// buffer, a picture-drawing object, frame headers and a caption font) and, while it is current,
// a worker thread and a one-second timer. No picture arrives yet: the worker only waits to be
// told to stop and the screen draws nothing. Leaving closes the device connection.
#pragma once

#include <cstdint>
#include <memory>

#include "AppDelegate.h"
#include "LiveVideoActivity/tracked_block.h"
#include "corvaniot_network.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"
#include "orvan_ux/ux_holder.h"
#include "orvan_ux/ux_object_list.h"
#include "orvan_ux/ux_view_controller.h"
#include "orvan_wnd/picture.h"

namespace ORVAN_UXClass {

inline constexpr int32_t kLiveVideoActivityId = 1005;
// What the worker returns once it was told to stop.
inline constexpr int32_t kLiveVideoWorkerExitValue = 1234567;
inline constexpr size_t kLiveVideoFrameBufferSize = 1024000;

class LiveVideoActivity final : public ORVAN_UXViewController {
  public:
    using TimerStep = void (LiveVideoActivity::*)();

    LiveVideoActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate);
    ~LiveVideoActivity() override;

    void OnTimer(uint32_t timerId) override;
    // Draws nothing: the picture area belongs to the frames.
    void OnPaint(orvan::wnd::DeviceContext* dc, bool active, bool locked) override;
    // Keeps the pointer position and asks for a repaint.
    void OnMouseMove(int32_t x, int32_t y) override;
    // Starts the worker and the timer, whose first tick comes at once.
    void OnActivate() override;
    // Stops timer and worker; replaced from elsewhere, it also drops the connection.
    void OnDeactivate() override;
    // Stops timer and worker, drops the connection and returns to the start screen.
    void OnBack() override;

    void live_video_activity_start_thread();
    void live_video_activity_stop_thread();
    // The worker: polls its break flag every 10 ms, then returns kLiveVideoWorkerExitValue.
    static int32_t live_video_activity_thread_routine(liborvaniot_os_pthread* self);

    ORVAN_UXHolder<ORVAN_UXButton> prevButton;
    int32_t leaving = 0;  // the screen asked for the next one itself
    TrackedBlock workBlock;
    TrackedBlock frameBuffer;
    TrackedBlock secondBuffer;  // never filled
    TrackedBlock frameWorkBlock;
    std::unique_ptr<orvan::wnd::PictureDrawer> drawDib;
    orvan::wnd::BitmapInfoHeader sourceHeader;
    orvan::wnd::BitmapInfoHeader targetHeader;
    TrackedBlock captionFontDesc;  // holds an orvan::wnd::FontDesc
    std::unique_ptr<orvan::wnd::Font> captionFont;
    int32_t mouseX = 0;
    int32_t mouseY = 0;
    TimerStep timerStep = nullptr;
    liborvaniot_os_pthread worker{};
    struct_plock workerGuard;
    // What the last stopped worker returned; 0 until one was stopped.
    int32_t workerExitValue = 0;
    corvaniot_network* record = nullptr;

  private:
    void PreparePictureResources();
    void PrepareCaptionFont();
    void RearmTimer();
    void StopTimerAndWorker();
};

}  // namespace ORVAN_UXClass
