// Dock-layout tree that splits a rectangle into fixed strips and filling panes. A node lays its
// children out side by side (orientation 0) or stacked (orientation 1).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ORVAN_UXClass {

class ORVAN_UXDockPos {
  public:
    static constexpr int32_t kModeFixed = 0;
    static constexpr int32_t kModeFill = 2;
    static constexpr int32_t kFixedSize = 20;

    ORVAN_UXDockPos(ORVAN_UXDockPos* parent, int32_t orientation, std::string name);
    // Deletes the children.
    virtual ~ORVAN_UXDockPos();
    ORVAN_UXDockPos(const ORVAN_UXDockPos&) = delete;
    ORVAN_UXDockPos& operator=(const ORVAN_UXDockPos&) = delete;

    // Append a child that takes kFixedSize pixels along this node's axis.
    ORVAN_UXDockPos* AddFixedChild(int32_t orientation, std::string name);
    // Append a child that shares the space the fixed children leave.
    ORVAN_UXDockPos* AddFillChild(int32_t orientation, std::string name);

    // Assigns this node's rectangle and lays the children out recursively. Fixed children take
    // their size while space is left (later ones get what remains, down to 0); fill children
    // share the rest equally, and the last fill child also takes the remainder of that division,
    // pushing the children after it along.
    void Layout(int32_t x, int32_t y, int32_t width, int32_t height);

    ORVAN_UXDockPos* parent() const { return parent_; }
    int32_t orientation() const { return orientation_; }
    const std::string& name() const { return name_; }
    size_t ChildCount() const { return children_.size(); }
    ORVAN_UXDockPos* Child(size_t index) const { return children_.at(index).get(); }
    // This node or the first descendant (depth first) with that name, or null.
    ORVAN_UXDockPos* Find(std::string_view name);

    // The rectangle assigned by the last Layout.
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;

  private:
    ORVAN_UXDockPos* AddChild(int32_t orientation, std::string name, int32_t mode, int32_t fixedSize);

    ORVAN_UXDockPos* parent_ = nullptr;
    int32_t orientation_ = 0;
    std::vector<std::unique_ptr<ORVAN_UXDockPos>> children_;
    std::vector<int32_t> modes_;
    std::vector<int32_t> fixedSizes_;
    std::string name_;
};

}  // namespace ORVAN_UXClass
