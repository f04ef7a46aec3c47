// A resource bitmap of the recording fake: only its id and size.
#pragma once

#include <cstdint>

#include "orvan_wnd/wnd.h"

namespace orvan::fake {

class FakeBitmap final : public wnd::Bitmap {
  public:
    FakeBitmap(int32_t id, int32_t width, int32_t height) : id_(id), width_(width), height_(height) {}
    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    int32_t ResourceId() const override { return id_; }

  private:
    int32_t id_;
    int32_t width_;
    int32_t height_;
};

}  // namespace orvan::fake
