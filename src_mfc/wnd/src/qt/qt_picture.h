// The picture-drawing object and the caption font on Qt.
#pragma once

#include <QFont>

#include "orvan_wnd/picture.h"

namespace orvan::wnd::qt {

// Frames are drawn with the view's painter; the object itself holds nothing yet.
class QtPictureDrawer final : public PictureDrawer {};

class QtFont final : public Font {
  public:
    explicit QtFont(const FontDesc& desc);
    const QFont& font() const { return font_; }

  private:
    QFont font_;
};

// The QFont a FontDesc stands for: its face, pixel height, weight and style.
QFont QFontFromDesc(const FontDesc& desc);

}  // namespace orvan::wnd::qt
