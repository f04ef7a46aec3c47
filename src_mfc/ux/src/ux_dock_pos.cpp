// Dock layout: fixed strips first, the rest shared by the filling panes.
#include "orvan_ux/ux_dock_pos.h"

#include <algorithm>

namespace ORVAN_UXClass {

ORVAN_UXDockPos::ORVAN_UXDockPos(ORVAN_UXDockPos* parent, int32_t orientation, std::string name)
    : parent_(parent), orientation_(orientation), name_(std::move(name)) {}

ORVAN_UXDockPos::~ORVAN_UXDockPos() = default;

ORVAN_UXDockPos* ORVAN_UXDockPos::AddFixedChild(int32_t orientation, std::string name) {
    return AddChild(orientation, std::move(name), kModeFixed, kFixedSize);
}

ORVAN_UXDockPos* ORVAN_UXDockPos::AddFillChild(int32_t orientation, std::string name) {
    return AddChild(orientation, std::move(name), kModeFill, 0);
}

ORVAN_UXDockPos* ORVAN_UXDockPos::AddChild(int32_t orientation, std::string name, int32_t mode,
                                           int32_t fixedSize) {
    children_.push_back(std::make_unique<ORVAN_UXDockPos>(this, orientation, std::move(name)));
    modes_.push_back(mode);
    fixedSizes_.push_back(fixedSize);
    return children_.back().get();
}

ORVAN_UXDockPos* ORVAN_UXDockPos::Find(std::string_view wanted) {
    if (name_ == wanted) return this;
    for (const auto& child : children_) {
        if (ORVAN_UXDockPos* found = child->Find(wanted)) return found;
    }
    return nullptr;
}

void ORVAN_UXDockPos::Layout(int32_t newX, int32_t newY, int32_t newWidth, int32_t newHeight) {
    x = newX;
    y = newY;
    width = newWidth;
    height = newHeight;
    if (children_.empty()) return;

    const bool stacked = orientation_ == 1;
    // Wide arithmetic throughout; a negative extent leaves no room for any child.
    const int64_t along = std::max<int64_t>(0, stacked ? height : width);
    const int64_t start = stacked ? y : x;

    int64_t remaining = along;
    int64_t fillCount = 0;
    size_t lastFill = children_.size();
    for (size_t i = 0; i < children_.size(); ++i) {
        if (modes_[i] == kModeFill) {
            ++fillCount;
            lastFill = i;
        } else {
            remaining -= std::min<int64_t>(remaining, std::max<int32_t>(0, fixedSizes_[i]));
        }
    }
    const int64_t fillSize = fillCount > 0 ? remaining / fillCount : 0;
    // The last fill child takes what the division leaves, in its place, so that the children
    // after it move along instead of being overlapped.
    const int64_t remainder = fillCount > 0 ? remaining - fillSize * fillCount : 0;

    int64_t left = along;
    int64_t position = start;
    for (size_t i = 0; i < children_.size(); ++i) {
        int64_t size = modes_[i] == kModeFill ? fillSize : fixedSizes_[i];
        if (i == lastFill) size += remainder;
        size = std::clamp<int64_t>(size, 0, left);
        const auto pos = static_cast<int32_t>(position);
        const auto extent = static_cast<int32_t>(size);
        if (stacked) {
            children_[i]->Layout(x, pos, width, extent);
        } else {
            children_[i]->Layout(pos, y, extent, height);
        }
        position += size;
        left -= size;
    }
}

}  // namespace ORVAN_UXClass
