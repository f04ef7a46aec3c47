#include "win32_picture.h"

#include <vfw.h>

#include <algorithm>

namespace orvan::wnd::win32 {

namespace {

// Owns one system handle as a window layer object and gives it back with Release.
template <typename Base, typename Handle, auto Release>
class HandleOwner final : public Base {
  public:
    explicit HandleOwner(Handle handle) : handle_(handle) {}
    ~HandleOwner() override { Release(handle_); }
    HandleOwner(const HandleOwner&) = delete;
    HandleOwner& operator=(const HandleOwner&) = delete;

  private:
    Handle handle_;
};

using DrawDibDrawer = HandleOwner<PictureDrawer, HDRAWDIB, &DrawDibClose>;
using GdiFont = HandleOwner<Font, HFONT, &DeleteObject>;

}  // namespace

std::unique_ptr<PictureDrawer> OpenDrawDib() {
    HDRAWDIB drawDib = DrawDibOpen();
    if (drawDib == nullptr) return nullptr;
    return std::make_unique<DrawDibDrawer>(drawDib);
}

LOGFONTW LogFontFromDesc(const FontDesc& desc) {
    LOGFONTW font{};
    font.lfHeight = desc.height;
    font.lfWidth = desc.width;
    font.lfEscapement = desc.escapement;
    font.lfOrientation = desc.orientation;
    font.lfWeight = desc.weight;
    font.lfItalic = desc.italic;
    font.lfUnderline = desc.underline;
    font.lfStrikeOut = desc.strikeOut;
    font.lfCharSet = desc.charSet;
    font.lfOutPrecision = desc.outPrecision;
    font.lfClipPrecision = desc.clipPrecision;
    font.lfQuality = desc.quality;
    font.lfPitchAndFamily = desc.pitchAndFamily;
    // The desc's name may lack its terminator; GDI must not read past the field.
    const auto* end = std::find(std::begin(desc.faceName), std::end(desc.faceName), L'\0');
    const size_t length = std::min<size_t>(end - std::begin(desc.faceName), LF_FACESIZE - 1);
    std::copy_n(desc.faceName, length, font.lfFaceName);
    font.lfFaceName[length] = L'\0';
    return font;
}

std::unique_ptr<Font> CreateFontFromDesc(const FontDesc& desc) {
    const LOGFONTW logFont = LogFontFromDesc(desc);
    HFONT font = CreateFontIndirectW(&logFont);
    if (font == nullptr) return nullptr;
    return std::make_unique<GdiFont>(font);
}

}  // namespace orvan::wnd::win32
