// Every screen the program can show, as the navigator's activity table.
#pragma once

#include <span>

#include "AppDelegate.h"

namespace ORVAN_UXClass {

std::span<const ActivityEntry> ProductActivities();

}  // namespace ORVAN_UXClass
