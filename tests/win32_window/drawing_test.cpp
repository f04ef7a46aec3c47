// Drawing on the view: bitmaps from the resources copied and stretched the right way up with their
// channels in order, solid fills, text on a transparent background, and paints after invalidation.
#include "resource_ids.h"
#include "win32_child_view.h"
#include "win32_picture.h"
#include "win32_resources.h"
#include "window_fixture.h"

namespace win32_test {
namespace {

using DrawingTest = WindowTest;

// The resource's own pixel at (x, y), counted from the top, as 0x00BBGGRR.
orvan::wnd::COLORREF ResourcePixel(const win32::Win32Bitmap& bitmap, int32_t x, int32_t y) {
    const int32_t stride = (bitmap.Width() * 3 + 3) & ~3;
    const auto* row = static_cast<const uint8_t*>(bitmap.Bits()) + (bitmap.Height() - 1 - y) * stride;
    return RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
}

const win32::Backing& Pixels(Window* view) {
    return static_cast<win32::Win32ChildView*>(view)->Pixels();
}

TEST_F(DrawingTest, ResourceBitmapsLoadByIdWithTheirSizes) {
    for (const orvan::res::BitmapInfo& info : orvan::res::kBitmaps) {
        SCOPED_TRACE(info.id);
        const std::unique_ptr<Bitmap> bitmap = view_->LoadBitmapResource(info.id);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->Width(), info.width);
        EXPECT_EQ(bitmap->Height(), info.height);
        EXPECT_EQ(bitmap->ResourceId(), info.id);
    }
    EXPECT_EQ(view_->LoadBitmapResource(1), nullptr);
    EXPECT_NE(view_->LoadCursorResource(orvan::res::kHandCursorId), nullptr);
    EXPECT_EQ(view_->LoadCursorResource(12345), nullptr);
}

TEST_F(DrawingTest, StretchBltCopiesTheBitmapUprightAndStretchesAPart) {
    const std::unique_ptr<Bitmap> loaded = view_->LoadBitmapResource(621);
    ASSERT_NE(loaded, nullptr);
    const auto& bitmap = static_cast<const win32::Win32Bitmap&>(*loaded);
    auto dc = view_->GetDC();
    dc->StretchBlt(100, 50, bitmap.Width(), bitmap.Height(), bitmap, 0, 0, bitmap.Width(), bitmap.Height());
    // The bottom right quarter, doubled.
    const int32_t w = bitmap.Width() / 2;
    const int32_t h = bitmap.Height() / 2;
    dc->StretchBlt(300, 200, 2 * w, 2 * h, bitmap, w, h, w, h);

    const win32::Backing& pixels = Pixels(view_);
    for (int32_t y : {0, 1, h, bitmap.Height() - 1}) {
        for (int32_t x : {0, 7, w, bitmap.Width() - 1}) {
            SCOPED_TRACE(testing::Message() << "x " << x << " y " << y);
            EXPECT_EQ(pixels.Pixel(100 + x, 50 + y), ResourcePixel(bitmap, x, y));
        }
    }
    for (int32_t y : {0, 5, h - 1}) {
        for (int32_t x : {0, 9, w - 1}) {
            SCOPED_TRACE(testing::Message() << "part x " << x << " y " << y);
            EXPECT_EQ(pixels.Pixel(300 + 2 * x, 200 + 2 * y), ResourcePixel(bitmap, w + x, h + y));
            EXPECT_EQ(pixels.Pixel(301 + 2 * x, 201 + 2 * y), ResourcePixel(bitmap, w + x, h + y));
        }
    }
}

TEST_F(DrawingTest, FillsAndTextChangeOnlyTheirOwnPixels) {
    auto dc = view_->GetDC();
    dc->FillSolidRect(10, 10, 200, 40, RGB(10, 20, 30));
    EXPECT_EQ(Pixels(view_).Pixel(10, 10), RGB(10, 20, 30));
    EXPECT_EQ(Pixels(view_).Pixel(209, 49), RGB(10, 20, 30));
    EXPECT_EQ(Pixels(view_).Pixel(210, 49), RGB(255, 255, 255));
    EXPECT_EQ(Pixels(view_).Pixel(209, 50), RGB(255, 255, 255));

    const Size extent = dc->GetTextExtent(L"Scan");
    EXPECT_GT(extent.cx, 10);
    EXPECT_GT(extent.cy, 8);
    EXPECT_EQ(dc->GetTextExtent(L"").cx, 0);
    dc->TextOut(20, 15, L"Scan", RGB(255, 0, 0));
    int red = 0;
    int background = 0;
    for (int32_t y = 10; y < 50; ++y) {
        for (int32_t x = 10; x < 210; ++x) {
            const orvan::wnd::COLORREF pixel = Pixels(view_).Pixel(x, y);
            const bool inText = x >= 20 && x < 20 + extent.cx && y >= 15 && y < 15 + extent.cy;
            if (pixel == RGB(10, 20, 30)) ++background;
            if (pixel != RGB(10, 20, 30)) {
                ASSERT_TRUE(inText) << "x " << x << " y " << y;
                ++red;
            }
        }
    }
    EXPECT_GT(red, 10) << "the text was drawn";
    EXPECT_GT(background, 200 * 40 - extent.cx * extent.cy) << "and left its background alone";
}

TEST_F(DrawingTest, AnInvalidatedViewIsErasedAndPaintedWithWhatThePaintDraws) {
    ASSERT_TRUE(PumpUntil([&] { return view_handler_.paints > 0; }));
    view_handler_.paint = [](DeviceContext& dc) { dc.FillSolidRect(0, 0, 960, 540, RGB(0, 128, 255)); };
    const int paints = view_handler_.paints;
    const int erases = view_handler_.erases;
    view_->Invalidate(true);
    ASSERT_TRUE(PumpUntil([&] { return view_handler_.paints > paints; }));
    EXPECT_EQ(view_handler_.erases, erases + 1);
    EXPECT_EQ(Pixels(view_).Pixel(959, 539), RGB(0, 128, 255));
    // Shown in the window too.
    HDC screen = GetDC(ViewHwnd());
    EXPECT_EQ(GetPixel(screen, 480, 270), RGB(0, 128, 255));
    ReleaseDC(ViewHwnd(), screen);
}

TEST_F(DrawingTest, DrawingOutsideAPaintReachesTheWindowWithoutAskingTheHandler) {
    ASSERT_TRUE(PumpUntil([&] { return view_handler_.paints > 0; }));
    const int paints = view_handler_.paints;
    view_->GetDC()->FillSolidRect(40, 40, 20, 20, RGB(0, 200, 0));
    PumpPending();
    EXPECT_EQ(view_handler_.paints, paints);
    HDC screen = GetDC(ViewHwnd());
    EXPECT_EQ(GetPixel(screen, 50, 50), RGB(0, 200, 0));
    ReleaseDC(ViewHwnd(), screen);
}

TEST_F(DrawingTest, FontsAndPictureDrawersCanBeMadeAndReleased) {
    FontDesc desc;
    desc.height = -16;
    desc.weight = 700;
    const wchar_t face[] = L"Arial";
    std::copy(std::begin(face), std::end(face), desc.faceName);
    EXPECT_NE(view_->CreateFontIndirect(desc), nullptr);
    // A face name without its terminator is cut, not read past.
    std::fill(std::begin(desc.faceName), std::end(desc.faceName), L'x');
    const LOGFONTW font = win32::LogFontFromDesc(desc);
    EXPECT_EQ(std::wstring(font.lfFaceName).size(), static_cast<size_t>(LF_FACESIZE - 1));
    EXPECT_NE(view_->OpenPictureDrawer(), nullptr);
}

}  // namespace
}  // namespace win32_test
