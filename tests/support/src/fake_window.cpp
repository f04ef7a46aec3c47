// Recording fake window: declared resources in, readable call records out.
#include "orvan_test/fake_window.h"

#include "fake_list_control.h"
#include "fake_window_state.h"
#include "orvan_test/fake_text.h"

namespace orvan::fake {

namespace {

template <class T>
T Read(const FakeWindowState& state, T FakeWindowState::*member) {
    std::lock_guard guard(state.mutex);
    return state.*member;
}

std::vector<std::string> Lines(const FakeWindowState& state, int which) {
    std::lock_guard guard(state.mutex);
    std::vector<std::string> lines;
    for (const auto& entry : state.log) {
        if (which < 0 || entry.drawing == (which == 1)) lines.push_back(entry.text);
    }
    return lines;
}

}  // namespace

FakeWindow::FakeWindow() : state_(std::make_shared<FakeWindowState>()) {}

FakeWindow::~FakeWindow() = default;

void FakeWindow::AddBitmap(int32_t id, int32_t width, int32_t height) {
    std::lock_guard guard(state_->mutex);
    state_->bitmaps[id] = {width, height};
}

void FakeWindow::AddBitmaps(std::initializer_list<int32_t> ids, int32_t width, int32_t height) {
    for (int32_t id : ids) AddBitmap(id, width, height);
}

void FakeWindow::AddCursor(int32_t id) {
    std::lock_guard guard(state_->mutex);
    state_->cursors.try_emplace(id, 0);
}

void FakeWindow::SetTextMetrics(int32_t charWidth, int32_t height) {
    std::lock_guard guard(state_->mutex);
    state_->charWidth = charWidth;
    state_->textHeight = height;
}

void FakeWindow::SetClientSize(int32_t cx, int32_t cy) {
    std::lock_guard guard(state_->mutex);
    state_->client = {cx, cy};
}

void FakeWindow::SetIsWindow(bool value) {
    std::lock_guard guard(state_->mutex);
    state_->isWindow = value;
}

void FakeWindow::SetPostMessageResult(bool value) {
    std::lock_guard guard(state_->mutex);
    state_->postResult = value;
}

std::vector<std::string> FakeWindow::Log() const {
    return Lines(*state_, -1);
}
std::vector<std::string> FakeWindow::Drawing() const {
    return Lines(*state_, 1);
}
std::vector<std::string> FakeWindow::Events() const {
    return Lines(*state_, 0);
}

void FakeWindow::ClearLog() {
    std::lock_guard guard(state_->mutex);
    state_->log.clear();
    state_->cursorChanges.clear();
}

int FakeWindow::InvalidateCount() const {
    return Read(*state_, &FakeWindowState::invalidates);
}
int FakeWindow::SetCaptureCount() const {
    return Read(*state_, &FakeWindowState::setCaptures);
}
int FakeWindow::ReleaseCaptureCount() const {
    return Read(*state_, &FakeWindowState::releaseCaptures);
}
bool FakeWindow::HasCapture() const {
    return Read(*state_, &FakeWindowState::captured);
}
std::vector<PostedMessage> FakeWindow::PostedMessages() const {
    return Read(*state_, &FakeWindowState::posted);
}
std::map<uint32_t, uint32_t> FakeWindow::ActiveTimers() const {
    return Read(*state_, &FakeWindowState::timers);
}
int FakeWindow::OpenDeviceContexts() const {
    return Read(*state_, &FakeWindowState::openDCs);
}

std::vector<std::string> FakeWindow::CursorChanges() const {
    return Read(*state_, &FakeWindowState::cursorChanges);
}

std::string FakeWindow::CurrentCursor() const {
    std::lock_guard guard(state_->mutex);
    return state_->CursorName(state_->current);
}

std::optional<FakeListContents> FakeWindow::ListControl(int32_t controlId) const {
    std::lock_guard guard(state_->mutex);
    for (auto it = state_->lists.rbegin(); it != state_->lists.rend(); ++it) {
        if (it->controlId == controlId) return *it;
    }
    return std::nullopt;
}

bool FakeWindow::IsWindow() const {
    return Read(*state_, &FakeWindowState::isWindow);
}

void FakeWindow::Invalidate(bool erase) {
    std::lock_guard guard(state_->mutex);
    ++state_->invalidates;
    state_->Record(false, erase ? "Invalidate" : "Invalidate without erase");
}

std::unique_ptr<wnd::DeviceContext> FakeWindow::GetDC() {
    return std::unique_ptr<wnd::DeviceContext>(new FakeDeviceContext(state_, true));
}

wnd::Size FakeWindow::GetClientSize() const {
    return Read(*state_, &FakeWindowState::client);
}

void FakeWindow::SetCapture() {
    std::lock_guard guard(state_->mutex);
    ++state_->setCaptures;
    state_->captured = true;
    state_->Record(false, "SetCapture");
}

void FakeWindow::ReleaseCapture() {
    std::lock_guard guard(state_->mutex);
    ++state_->releaseCaptures;
    state_->captured = false;
    state_->Record(false, "ReleaseCapture");
}

wnd::CursorHandle FakeWindow::LoadCursorResource(int32_t id) {
    std::lock_guard guard(state_->mutex);
    auto it = state_->cursors.find(id);
    return it == state_->cursors.end() ? nullptr : &it->second;
}

wnd::CursorHandle FakeWindow::ArrowCursor() {
    return &state_->arrowToken;
}

wnd::CursorHandle FakeWindow::GetCursor() {
    return Read(*state_, &FakeWindowState::current);
}

void FakeWindow::SetCursor(wnd::CursorHandle cursor) {
    std::lock_guard guard(state_->mutex);
    state_->current = cursor;
    const std::string name = state_->CursorName(cursor);
    state_->cursorChanges.push_back(name);
    state_->Record(false, "SetCursor " + name);
}

std::unique_ptr<wnd::Bitmap> FakeWindow::LoadBitmapResource(int32_t id) {
    std::lock_guard guard(state_->mutex);
    auto it = state_->bitmaps.find(id);
    if (it == state_->bitmaps.end()) return nullptr;
    return std::make_unique<FakeBitmap>(id, it->second.cx, it->second.cy);
}

void FakeWindow::SetTimer(uint32_t id, uint32_t milliseconds) {
    std::lock_guard guard(state_->mutex);
    state_->timers[id] = milliseconds;
    state_->Record(false,
                   "SetTimer " + std::to_string(id) + " every " + std::to_string(milliseconds) + " ms");
}

void FakeWindow::KillTimer(uint32_t id) {
    std::lock_guard guard(state_->mutex);
    state_->timers.erase(id);
    state_->Record(false, "KillTimer " + std::to_string(id));
}

bool FakeWindow::PostMessage(uint32_t message, int64_t wparam, int64_t lparam) {
    std::lock_guard guard(state_->mutex);
    state_->Record(false, "PostMessage " + std::to_string(message) + " (" + std::to_string(wparam) + ", " +
                              std::to_string(lparam) + ")");
    if (!wnd::IsPostableMessage(message) || !state_->isWindow || !state_->postResult) return false;
    state_->posted.push_back({message, wparam, lparam});
    return true;
}

void FakeWindow::SetPopupMenuChoice(uint32_t id) {
    SetPopupMenuChooser([id](const std::vector<wnd::MenuItem>&) { return id; });
}

void FakeWindow::SetPopupMenuChooser(std::function<uint32_t(const std::vector<wnd::MenuItem>&)> chooser) {
    std::lock_guard guard(state_->mutex);
    state_->menuChooser = std::move(chooser);
}

void FakeWindow::SetClipboardResult(bool value) {
    std::lock_guard guard(state_->mutex);
    state_->clipboardResult = value;
}

void FakeWindow::SetUrlHandler(std::function<bool(const std::string& url)> handler) {
    std::lock_guard guard(state_->mutex);
    state_->urlHandler = std::move(handler);
}

std::vector<std::string> FakeWindow::OpenedUrls() const {
    std::lock_guard guard(state_->mutex);
    return state_->openedUrls;
}

std::vector<std::vector<wnd::MenuItem>> FakeWindow::PopupMenus() const {
    std::lock_guard guard(state_->mutex);
    return state_->menus;
}

std::wstring FakeWindow::ClipboardText() const {
    std::lock_guard guard(state_->mutex);
    return state_->clipboard;
}

uint32_t FakeWindow::TrackPopupMenu(const std::vector<wnd::MenuItem>& items, wnd::Point point) {
    std::function<uint32_t(const std::vector<wnd::MenuItem>&)> chooser;
    {
        std::lock_guard guard(state_->mutex);
        state_->Record(false, "TrackPopupMenu at (" + std::to_string(point.x) + "," + std::to_string(point.y) + ")");
        state_->menus.push_back(items);
        chooser = state_->menuChooser;
    }
    // Outside the lock: like the real menu's loop, the chooser may call back into the window.
    return chooser ? chooser(items) : 0;
}

std::vector<std::wstring> FakeWindow::Notices() const {
    std::lock_guard guard(state_->mutex);
    return state_->notices;
}

void FakeWindow::ShowNotice(const std::wstring& text) {
    std::lock_guard guard(state_->mutex);
    state_->Record(false, "ShowNotice \"" + Utf8(text) + "\"");
    state_->notices.push_back(text);
}

void FakeWindow::SetPromptAnswers(std::vector<std::optional<std::wstring>> answers) {
    std::lock_guard guard(state_->mutex);
    state_->promptAnswers = std::move(answers);
}

std::vector<wnd::TextPrompt> FakeWindow::Prompts() const {
    std::lock_guard guard(state_->mutex);
    return state_->prompts;
}

std::vector<std::wstring> FakeWindow::PromptErrors() const {
    std::lock_guard guard(state_->mutex);
    return state_->promptErrors;
}

std::optional<std::wstring> FakeWindow::PromptText(const wnd::TextPrompt& prompt) {
    {
        std::lock_guard guard(state_->mutex);
        state_->Record(false, "PromptText \"" + Utf8(prompt.title) + "\"");
        state_->prompts.push_back(prompt);
    }
    // The user types until the check takes an answer or they cancel; the check runs outside the
    // lock, as the real dialog's runs on its loop.
    for (;;) {
        std::optional<std::wstring> answer;
        {
            std::lock_guard guard(state_->mutex);
            if (state_->promptAnswers.empty()) return std::nullopt;
            answer = std::move(state_->promptAnswers.front());
            state_->promptAnswers.erase(state_->promptAnswers.begin());
        }
        if (!answer) return std::nullopt;
        const std::wstring error = prompt.check ? prompt.check(*answer) : std::wstring();
        if (error.empty()) return answer;
        std::lock_guard guard(state_->mutex);
        state_->promptErrors.push_back(error);
    }
}

bool FakeWindow::SetClipboardText(const std::wstring& text) {
    std::lock_guard guard(state_->mutex);
    state_->Record(false, "SetClipboardText \"" + Utf8(text) + "\"");
    if (!state_->clipboardResult) return false;
    state_->clipboard = text;
    return true;
}

bool FakeWindow::OpenUrl(const std::string& url) {
    std::function<bool(const std::string&)> handler;
    {
        std::lock_guard guard(state_->mutex);
        state_->Record(false, "OpenUrl " + url);
        state_->openedUrls.push_back(url);
        handler = state_->urlHandler;
    }
    return handler ? handler(url) : true;
}

std::unique_ptr<wnd::ListControl> FakeWindow::CreateListControl(int32_t controlId, int32_t left, int32_t top,
                                                                int32_t right, int32_t bottom) {
    std::lock_guard guard(state_->mutex);
    state_->Record(false, "CreateListControl " + std::to_string(controlId) + " at (" + std::to_string(left) +
                              "," + std::to_string(top) + ")-(" + std::to_string(right) + "," +
                              std::to_string(bottom) + ")");
    FakeListContents contents;
    contents.controlId = controlId;
    contents.left = left;
    contents.top = top;
    contents.right = right;
    contents.bottom = bottom;
    state_->lists.push_back(std::move(contents));
    return std::make_unique<FakeListControl>(state_, state_->lists.size() - 1);
}

}  // namespace orvan::fake
