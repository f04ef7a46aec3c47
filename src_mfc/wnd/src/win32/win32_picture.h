// The picture-drawing object (a DrawDib context) and caption fonts on Win32.
#pragma once

#include <memory>

#include "orvan_wnd/picture.h"
#include "win32_util.h"

namespace orvan::wnd::win32 {

// Null when no DrawDib context can be had.
std::unique_ptr<PictureDrawer> OpenDrawDib();

// Null when GDI cannot make the font.
std::unique_ptr<Font> CreateFontFromDesc(const FontDesc& desc);

// The GDI description of desc; the face name is cut to fit and always terminated.
LOGFONTW LogFontFromDesc(const FontDesc& desc);

}  // namespace orvan::wnd::win32
