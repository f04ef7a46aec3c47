#include "DeviceDrmListActivity/device_list_platform.h"

#include "liborvaniot_core_cms/misc_common.h"
#include "liborvaniot_drm_client/libdrm_client_probe.h"
#include "orvan_wnd/wnd.h"

namespace ORVAN_UXClass {

DeviceListPlatform DeviceListPlatform::Product() {
    return DeviceListPlatform{
        .set_probe_port = &liborvaniot_drm_client_probe_set_port,
        .set_probe_callback = &liborvaniot_drm_client_probe_set_callback,
        .set_extra_interface = &liborvaniot_drm_client_probe_set_extra_interface,
        .listen_start = &liborvaniot_drm_client_probe_listen_start,
        .scan = &liborvaniot_drm_client_probe_scan,
        .listen_stop = &liborvaniot_drm_client_probe_listen_stop,
        .listen_is_started = &liborvaniot_drm_client_probe_listen_is_started,
        .link_local_present = &misc_common_link_local_present,
        .link_local_text = &misc_common_link_local_text_copy,
        .link_local_added_address = &misc_common_link_local_added_address,
        .link_local_generation = &misc_common_link_local_generation,
        .set_link_local_listener = &misc_common_set_link_local_listener,
        .open_url = &orvan::wnd::OpenUrl,
    };
}

}  // namespace ORVAN_UXClass
