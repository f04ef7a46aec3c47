// Picture-drawing objects and fonts of the fake window: they record their creation and deletion
// and count how many are open.
#include <algorithm>
#include <iterator>

#include "fake_window_state.h"
#include "orvan_test/fake_text.h"
#include "orvan_test/fake_window.h"

namespace orvan::fake {

namespace {

class FakePictureDrawer final : public wnd::PictureDrawer {
  public:
    explicit FakePictureDrawer(std::shared_ptr<FakeWindowState> state) : state_(std::move(state)) {}
    ~FakePictureDrawer() override {
        std::lock_guard guard(state_->mutex);
        --state_->openPictureDrawers;
        state_->Record(false, "ClosePictureDrawer");
    }

  private:
    std::shared_ptr<FakeWindowState> state_;
};

class FakeFont final : public wnd::Font {
  public:
    FakeFont(std::shared_ptr<FakeWindowState> state, std::string face)
        : state_(std::move(state)), face_(std::move(face)) {}
    ~FakeFont() override {
        std::lock_guard guard(state_->mutex);
        --state_->openFonts;
        state_->Record(false, "DeleteFont \"" + face_ + "\"");
    }

  private:
    std::shared_ptr<FakeWindowState> state_;
    std::string face_;
};

std::string Face(const wnd::FontDesc& desc) {
    const auto* end = std::find(std::begin(desc.faceName), std::end(desc.faceName), L'\0');
    return Utf8(std::wstring_view(desc.faceName, static_cast<size_t>(end - std::begin(desc.faceName))));
}

}  // namespace

std::unique_ptr<wnd::PictureDrawer> FakeWindow::OpenPictureDrawer() {
    std::lock_guard guard(state_->mutex);
    ++state_->openPictureDrawers;
    state_->Record(false, "OpenPictureDrawer");
    return std::make_unique<FakePictureDrawer>(state_);
}

std::unique_ptr<wnd::Font> FakeWindow::CreateFontIndirect(const wnd::FontDesc& desc) {
    const std::string face = Face(desc);
    std::lock_guard guard(state_->mutex);
    ++state_->openFonts;
    state_->Record(false, "CreateFont \"" + face + "\" height " + std::to_string(desc.height) + " weight " +
                              std::to_string(desc.weight) + " italic " + std::to_string(desc.italic) +
                              " underline " + std::to_string(desc.underline));
    return std::make_unique<FakeFont>(state_, face);
}

int FakeWindow::OpenPictureDrawers() const {
    std::lock_guard guard(state_->mutex);
    return state_->openPictureDrawers;
}

int FakeWindow::OpenFonts() const {
    std::lock_guard guard(state_->mutex);
    return state_->openFonts;
}

}  // namespace orvan::fake
