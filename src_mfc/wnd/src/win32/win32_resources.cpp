#include "win32_resources.h"

namespace orvan::wnd::win32 {

namespace {

// Bytes of one row of a 24-bit bitmap: rows are padded to four bytes.
uint64_t Stride24(int32_t width) {
    return (static_cast<uint64_t>(width) * 3 + 3) & ~uint64_t{3};
}

}  // namespace

std::unique_ptr<Bitmap> LoadBitmapById(int32_t id) {
    HRSRC found = FindResourceW(Module(), MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_BITMAP));
    if (found == nullptr) return nullptr;
    HGLOBAL loaded = LoadResource(Module(), found);
    const DWORD size = SizeofResource(Module(), found);
    const auto* data = static_cast<const uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (data == nullptr || size < sizeof(BITMAPINFOHEADER)) return nullptr;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(data);
    const BITMAPINFOHEADER& header = info->bmiHeader;
    // Resources that would make StretchDIBits read past their end are refused, not drawn.
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > size || header.biBitCount != 24 ||
        header.biCompression != BI_RGB || header.biClrUsed != 0 || header.biPlanes != 1 ||
        header.biWidth <= 0 || header.biHeight <= 0) {
        return nullptr;
    }
    const uint64_t pixels = Stride24(header.biWidth) * static_cast<uint64_t>(header.biHeight);
    if (header.biSize + pixels > size) return nullptr;
    return std::make_unique<Win32Bitmap>(id, info, data + header.biSize);
}

HCURSOR LoadCursorById(int32_t id) {
    return LoadCursorW(Module(), MAKEINTRESOURCEW(id));
}

std::wstring LoadStringById(int32_t id) {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW hands out the resource's own read-only text.
    const int length = LoadStringW(Module(), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return {};
    return std::wstring(text, static_cast<size_t>(length));
}

}  // namespace orvan::wnd::win32
