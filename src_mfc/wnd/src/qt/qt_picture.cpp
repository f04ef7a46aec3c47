#include "qt_picture.h"

#include <QString>
#include <algorithm>
#include <cstdlib>

namespace orvan::wnd::qt {

QFont QFontFromDesc(const FontDesc& desc) {
    QFont font;
    const auto* end = std::find(std::begin(desc.faceName), std::end(desc.faceName), L'\0');
    const auto length = static_cast<int>(end - std::begin(desc.faceName));
    if (length > 0) font.setFamily(QString::fromWCharArray(desc.faceName, length));
    // Negative heights name the character height, positive ones the cell: both are pixels here.
    if (desc.height != 0) font.setPixelSize(std::abs(desc.height));
    if (desc.weight > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp(desc.weight, 1, 1000)));
    font.setItalic(desc.italic != 0);
    font.setUnderline(desc.underline != 0);
    font.setStrikeOut(desc.strikeOut != 0);
    return font;
}

QtFont::QtFont(const FontDesc& desc) : font_(QFontFromDesc(desc)) {}

}  // namespace orvan::wnd::qt
