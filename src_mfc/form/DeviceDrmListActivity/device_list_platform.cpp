#include "DeviceDrmListActivity/device_list_platform.h"

#include "DeviceDrmListActivity/device_scan_targets.h"
#include "liborvaniot_core_cms/device_reach.h"
#include "liborvaniot_core_cms/misc_common.h"
#include "liborvaniot_drm_client/libdrm_client_probe.h"
#include "liborvaniot_drm_client/libdrm_client_probe_target.h"
#include "liborvaniot_os/liborvaniot_os_net_addr.h"
#include "liborvaniot_os/liborvaniot_os_net_reach.h"
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

bool ProductReachesDirectly(uint32_t device, uint32_t arrival_if_addr) {
    const uint32_t arrival = arrival_if_addr == 0 ? 0 : liborvaniot_os_net_interface_of(arrival_if_addr);
    return device_reach_is_direct(device, arrival);
}

void ProductReach(uint32_t device, uint32_t arrival_if_addr) {
    device_reach_request(device, device_reach_interface_for(device, arrival_if_addr));
}

drm_probe_target_list ProductTargets(const std::string& text) {
    const std::vector<std::string> words = ScanTargetWords(text);
    return drm_probe_targets_parse(words, false);
}

std::string ProductNoRightsText(const std::string& device_ip) {
#ifdef _WIN32
    return device_reach_no_rights_text(device_ip,
                                       "start \"Selvani Device Finder (administrator)\" from the Start menu");
#else
    return device_reach_no_rights_text(device_ip, "start the finder as administrator");
#endif
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
        .reaches_directly = &ProductReachesDirectly,
        .reach = &ProductReach,
        .set_reach_listener = &device_reach_set_listener,
        .no_rights_text = &ProductNoRightsText,
        .check_scan_targets = [](const std::string& text) { return ProductTargets(text).error; },
        .set_scan_targets =
            [](const std::string& text) {
                const drm_probe_target_list targets = ProductTargets(text);
                liborvaniot_drm_client_probe_set_targets(targets.ranges, 0);
            },
        .scan_targets_path = ScanTargetsFile::DefaultPath(),
        .rights_hint = &ProductRightsHint,
    };
}

}  // namespace ORVAN_UXClass
