#include "win32_picture.h"

#include <vfw.h>

#include <algorithm>

namespace orvan::wnd::win32 {

namespace {

class DrawDibDrawer final : public PictureDrawer {
  public:
    explicit DrawDibDrawer(HDRAWDIB drawDib) : draw_dib_(drawDib) {}
    ~DrawDibDrawer() override { DrawDibClose(draw_dib_); }
    DrawDibDrawer(const DrawDibDrawer&) = delete;
    DrawDibDrawer& operator=(const DrawDibDrawer&) = delete;

  private:
    HDRAWDIB draw_dib_;
};

class GdiFont final : public Font {
  public:
    explicit GdiFont(HFONT font) : font_(font) {}
    ~GdiFont() override { DeleteObject(font_); }
    GdiFont(const GdiFont&) = delete;
    GdiFont& operator=(const GdiFont&) = delete;

  private:
    HFONT font_;
};

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
