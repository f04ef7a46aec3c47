// The sensor list (activity 401), the gateway's radio page: shows the gateway's radio channel and
// PAN id, sends the four gateway commands through the settings-write screen, and holds the list
// of sensors paired with the gateway, from which the user picks one.
#pragma once

#include <cstdint>
#include <memory>

#include "AppDelegate.h"
#include "corvaniot_network.h"
#include "orvan_ux/ux_holder.h"
#include "orvan_ux/ux_object_list.h"
#include "orvan_ux/ux_view_controller.h"

namespace ORVAN_UXClass {

inline constexpr int32_t kSensorListActivityId = 401;
inline constexpr int32_t kSensorListControlId = 1;

// Gateway commands, as the settings-write screen finds them in the record's command_code.
inline constexpr int32_t kSensorListCommandReset = 100;
inline constexpr int32_t kSensorListCommandBaudRate = 102;
inline constexpr int32_t kSensorListCommandChannel = 104;
inline constexpr int32_t kSensorListCommandPanId = 106;

class SensorListActivity final : public ORVAN_UXViewController {
  public:
    SensorListActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate);
    // Empties and destroys the list control and frees the process-wide slot.
    ~SensorListActivity() override;

    // A click on a sensor row chooses that sensor; a click below the rows changes nothing.
    void OnListClick(int32_t row, int64_t* result) override;
    // Replaced from elsewhere, the screen drops the connection.
    void OnDeactivate() override;
    // Drops the connection and returns to the start screen.
    void OnBack() override;

    // The one sensor list control of the process; empty while no sensor list screen exists.
    static std::unique_ptr<orvan::wnd::ListControl> listControl;

    ORVAN_UXHolder<ORVAN_UXBitmap> background;
    ORVAN_UXHolder<ORVAN_UXButton> prevButton;
    ORVAN_UXHolder<ORVAN_UXLabel> channelCaption;
    ORVAN_UXHolder<ORVAN_UXLabel> channelValue;
    ORVAN_UXHolder<ORVAN_UXLabel> panIdCaption;
    ORVAN_UXHolder<ORVAN_UXLabel> panIdValue;
    ORVAN_UXHolder<ORVAN_UXButton> resetButton;
    ORVAN_UXHolder<ORVAN_UXButton> baudRateButton;
    ORVAN_UXHolder<ORVAN_UXButton> channelButton;
    ORVAN_UXHolder<ORVAN_UXButton> panIdButton;
    ORVAN_UXHolder<ORVAN_UXButton> selectButton;
    int32_t leaving = 0;  // the one navigation request of this visit has been posted
    corvaniot_network* record = nullptr;

  private:
    // Command button callbacks: the command is the table row `Row`.
    template <int Row>
    static int OnCommandClicked(ORVAN_UXViewController* userData, int64_t arg1, int64_t arg2);
    static int OnSelectClicked(ORVAN_UXViewController* userData, int64_t arg1, int64_t arg2);

    void AddWidgets();
    void CreateListControl();
    void DestroyListControl();
    void Request(int32_t id);
};

}  // namespace ORVAN_UXClass
