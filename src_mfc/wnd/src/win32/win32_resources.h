// The program's resources by numeric id: 24-bit bitmaps (used in place, from the loaded module),
// cursors and strings.
#pragma once

#include <memory>
#include <string>

#include "win32_util.h"

namespace orvan::wnd::win32 {

// A bitmap resource: its header and pixel rows as they lie in the module, ready for StretchDIBits.
class Win32Bitmap final : public Bitmap {
  public:
    Win32Bitmap(int32_t id, const BITMAPINFO* info, const void* bits) : id_(id), info_(info), bits_(bits) {}
    int32_t Width() const override { return info_->bmiHeader.biWidth; }
    int32_t Height() const override { return info_->bmiHeader.biHeight; }
    int32_t ResourceId() const override { return id_; }
    const BITMAPINFO* Info() const { return info_; }
    const void* Bits() const { return bits_; }

  private:
    int32_t id_;
    const BITMAPINFO* info_;
    const void* bits_;
};

// Null when the module has no such bitmap, or it is not an uncompressed bottom-up 24-bit one whose
// rows all lie inside the resource.
std::unique_ptr<Bitmap> LoadBitmapById(int32_t id);

// Null when the module has no such cursor.
HCURSOR LoadCursorById(int32_t id);

// Empty when the module has no such string.
std::wstring LoadStringById(int32_t id);

}  // namespace orvan::wnd::win32
