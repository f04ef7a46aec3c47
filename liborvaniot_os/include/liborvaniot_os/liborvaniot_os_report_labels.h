// Report labels: the names under which modules record their tracked allocations, printed by the
// leak report and the allocation errors. They read like source paths because the reports have
// always printed them so and people and scripts match them; they are labels, not file locations
// (the Windows build compiles the same files and prints the same labels). Change none of them.
#pragma once

namespace liborvaniot_os_report_labels {

inline constexpr char kDebug[] = "liborvaniot_os/Linux/src/Common/liborvaniot_os_debug";
inline constexpr char kAes[] = "liborvaniot_os/Linux/src/Common/liborvaniot_os_aes_func";
inline constexpr char kXmlNode[] = "liborvaniot_drm_common/Linux/src/drm_common_bm/libdrm_common_bm_xml_node";
inline constexpr char kProbeClient[] = "liborvaniot_drm_client/Linux/src/drm_client_func/libdrm_client_probe";
inline constexpr char kLiveVideo[] = "src_mfc/form/LiveVideoActivity/LiveVideoActivity";

}  // namespace liborvaniot_os_report_labels
