#include "AppDelegate.h"

#include <cassert>

namespace ORVAN_UXClass {

AppDelegate::AppDelegate(std::span<const ActivityEntry> activities)
    : device(std::make_unique<corvaniot_network>()), activities_(activities) {
#ifndef NDEBUG
    for (const ActivityEntry& entry : activities_) {
        assert(entry.slot >= 1 && entry.slot < kActivitySlotCount && entry.create != nullptr);
    }
#endif
}

AppDelegate::~AppDelegate() {
    current_activity = nullptr;
    if (objectList) objectList->RemoveAll();
    device.reset();
    for (int32_t slot = kActivitySlotCount - 1; slot >= 1; --slot) slots[slot].reset();
    objectList.reset();
}

const ActivityEntry* AppDelegate::find_activity(int64_t id) const {
    for (const ActivityEntry& entry : activities_) {
        if (entry.id == id && entry.slot >= 1 && entry.slot < kActivitySlotCount && entry.create != nullptr) {
            return &entry;
        }
    }
    return nullptr;
}

void AppDelegate::navigate(int64_t requester, int64_t next) {
    int32_t id = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(next) & 0xffffffffu));
    if (id <= 0) id = kWelcomeActivityId;
    if (!has_navigated) {
        if (current_activity != nullptr) has_navigated = true;
    } else if (current_activity != nullptr && requester == RequesterParam(current_activity)) {
        // Only the current screen is touched as the requester. A request left behind by a screen
        // that is gone (a second post, a late timer) names an object that no longer exists; it
        // still changes the screen, but its requester is never dereferenced.
        current_activity->OnDeactivate();
        current_activity->MarkDeactivated();
    }
    release_current_activity();
    create_activity(id);
}

void AppDelegate::release_current_activity() {
    if (current_activity != nullptr && current_activity->deactivated == 0) current_activity->OnDeactivate();
    std::unique_ptr<ORVAN_UXViewController> released;
    if (const ActivityEntry* entry = find_activity(current_activity_id))
        released = std::move(slots[entry->slot]);
    current_activity = nullptr;
    current_activity_id = -1;
    released.reset();  // its destructor empties the object list
}

void AppDelegate::create_activity(int32_t id) {
    if (const ActivityEntry* entry = find_activity(id)) {
        // The slot is empty after a release; should it still hold a screen, that one goes first,
        // so its destructor cannot take the new screen's controls out of the object list.
        slots[entry->slot].reset();
        slots[entry->slot] = entry->create(view, objectList.get(), this);
        current_activity = slots[entry->slot].get();
    }
    current_activity_id = id;
    if (current_activity != nullptr) current_activity->OnActivate();
}

void AppDelegate::prepare_connection(corvaniot_network* record) {
    ORVAN_UXClass::prepare_connection(record);
}

}  // namespace ORVAN_UXClass
