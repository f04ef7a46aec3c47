// The models whose web page is served only over TLS: the device list opens these with
// "https://" and every other model (including "Unknown") with "http://".
#pragma once

#include <span>
#include <string_view>

#include "device_rows/DeviceEntry.h"

namespace ORVAN_UXClass {

// The maker's model texts, compared exactly (letter case, spaces and length included).
std::span<const std::wstring_view> SecureWebModels();

// True when model equals one of the secure models character for character.
bool IsSecureWebModel(std::wstring_view model);

// True when the entry's model is a secure model.
bool IsSecureWebModel(const DeviceEntry& entry);

}  // namespace ORVAN_UXClass
