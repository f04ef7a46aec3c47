// The option pages: every family has one page per topic, with activity id = family base + topic
// number. A family gives the id base, the settings menu its pages return to and the background;
// a topic gives its name and which widgets its page carries.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ManagementScreen/table_lookup.h"

namespace ORVAN_UXClass {

struct OptionFamily {
    std::string_view name;
    int32_t idBase;
    int32_t menuId;
    int32_t background;
};

enum class OptionWidgets {
    Standard,      // Cancel and OK side by side
    Network,       // OK only, two rows lower
    GatewayGuard,  // the gateway status rows: built as a status page
};

struct OptionTopic {
    int32_t number;
    std::string_view name;
    OptionWidgets widgets;
    bool storesFacePlaceholder;  // OK first stores face slot 0 and the placeholder face name
};

inline constexpr std::array<OptionFamily, 3> kOptionFamilies{{
    {"CmsIPCamera", 100, 1006, 2001},
    {"CmsIPBox", 200, 1008, 2002},
    {"IPBoxIPCamera", 300, 1007, 2003},
}};

inline constexpr std::array<OptionTopic, 13> kOptionTopics{{
    {0, "MdMode", OptionWidgets::Standard, false},
    {1, "Md", OptionWidgets::Standard, false},
    {2, "Upload", OptionWidgets::Standard, false},
    {3, "Video", OptionWidgets::Standard, false},
    {4, "Account", OptionWidgets::Standard, false},
    {5, "Network", OptionWidgets::Network, false},
    {6, "Reset", OptionWidgets::Standard, false},
    {7, "ElectricFence", OptionWidgets::Standard, false},
    {8, "VideoGuard", OptionWidgets::Standard, false},
    {9, "FaceDetectMode", OptionWidgets::Standard, false},
    {10, "FaceDetect", OptionWidgets::Standard, true},
    {11, "UpdateFW", OptionWidgets::Standard, false},
    {12, "GatewayGuard", OptionWidgets::GatewayGuard, false},
}};

// The index of the family whose pages include id, or kNoRow.
constexpr size_t OptionFamilyIndex(int32_t id) {
    for (size_t i = 0; i < kOptionFamilies.size(); ++i) {
        const int32_t number = id - kOptionFamilies[i].idBase;
        if (number >= 0 && number < static_cast<int32_t>(kOptionTopics.size())) return i;
    }
    return kNoRow;
}

// The index of option page id's topic, or kNoRow when id is no option page.
constexpr size_t OptionTopicIndex(int32_t id) {
    const size_t family = OptionFamilyIndex(id);
    return family == kNoRow ? kNoRow : static_cast<size_t>(id - kOptionFamilies[family].idBase);
}

// The family whose pages include id, or null.
constexpr const OptionFamily* FindOptionFamily(int32_t id) {
    const size_t index = OptionFamilyIndex(id);
    return index == kNoRow ? nullptr : &kOptionFamilies[index];
}

// Topics are listed by number, so a page's topic is found by position.
constexpr bool TopicsInNumberOrder() {
    for (size_t i = 0; i < kOptionTopics.size(); ++i) {
        if (kOptionTopics[i].number != static_cast<int32_t>(i)) return false;
    }
    return true;
}
static_assert(TopicsInNumberOrder());

// The topic of option page id, or null when id is no option page.
constexpr const OptionTopic* FindOptionTopic(int32_t id) {
    const size_t index = OptionTopicIndex(id);
    return index == kNoRow ? nullptr : &kOptionTopics[index];
}

// Whether option page id has widgets of that kind.
constexpr bool OptionPageHas(int32_t id, OptionWidgets widgets) {
    const size_t topic = OptionTopicIndex(id);
    return topic != kNoRow && kOptionTopics[topic].widgets == widgets;
}

// "Option" + family + topic + "Activity" is the class name of option page id.
constexpr bool OptionPageNamedAs(int32_t id, std::string_view name) {
    const size_t family = OptionFamilyIndex(id);
    if (family == kNoRow) return false;
    const std::string_view familyName = kOptionFamilies[family].name;
    const std::string_view topicName = kOptionTopics[OptionTopicIndex(id)].name;
    constexpr std::string_view kPrefix = "Option";
    constexpr std::string_view kSuffix = "Activity";
    if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return false;
    name = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    return name.starts_with(familyName) && name.substr(familyName.size()) == topicName;
}

}  // namespace ORVAN_UXClass
