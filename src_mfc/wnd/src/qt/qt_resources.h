// Embedded resources by numeric id: 24-bit bitmaps, the hover cursor, the program icon, and the
// font every caption is drawn in.
#pragma once

#include <QCursor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <memory>

#include "orvan_wnd/wnd.h"

namespace orvan::wnd::qt {

// A bitmap resource decoded into an image the device context can copy from.
class QtBitmap final : public Bitmap {
  public:
    QtBitmap(int32_t id, QImage image) : id_(id), image_(std::move(image)) {}
    int32_t Width() const override { return image_.width(); }
    int32_t Height() const override { return image_.height(); }
    int32_t ResourceId() const override { return id_; }
    const QImage& Image() const { return image_; }

  private:
    int32_t id_;
    QImage image_;
};

// Null when the program has no bitmap with this id or it cannot be decoded.
std::unique_ptr<Bitmap> LoadBitmap(int32_t id);

// Null when the program has no cursor with this id.
std::unique_ptr<QCursor> LoadCursor(int32_t id);

QIcon AppIcon();

// The default GUI font: the desktop's general font at a fixed pixel size, so that captions
// measure the same on every machine that has the same fonts.
const QFont& DefaultGuiFont();

// Makes the embedded resources reachable; safe to call more than once.
void InitResources();

}  // namespace orvan::wnd::qt
