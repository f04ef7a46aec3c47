#include "DeviceDrmListActivity/device_list_platform.h"

#include "liborvaniot_core_cms/misc_common.h"
#include "liborvaniot_drm_client/libdrm_client_probe.h"
#include "liborvaniot_os/liborvaniot_os_net_addr.h"

namespace ORVAN_UXClass {

namespace {

// Windows runs an administrator's programs with the rights filtered unless asked, so a finder
// started the usual way cannot add its address; the installer's second shortcut asks.
std::wstring ProductRightsHint() {
#ifdef _WIN32
    if (liborvaniot_os_net_has_admin_rights() == 0) {
        return L"For a device on a direct cable, start \"Selvani Device Finder (administrator)\" from the "
               L"Start menu: with those rights the finder adds a link-local address.";
    }
#endif
    return {};
}

}  // namespace

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
        .rights_hint = &ProductRightsHint,
    };
}

}  // namespace ORVAN_UXClass
