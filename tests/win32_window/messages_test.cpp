// Timers by id, messages posted from any thread, the clipboard, the about box and the URL opener.
#include <atomic>
#include <string>
#include <thread>

#include "resource_ids.h"
#include "window_fixture.h"

namespace win32_test {
namespace {

using MessagesTest = WindowTest;

constexpr uint32_t kNavigate = 5024;
constexpr uint32_t kRepaint = 5025;

TEST_F(MessagesTest, TimersFireByIdUntilKilled) {
    view_->SetTimer(1000, 10);
    view_->SetTimer(7, 15);
    ASSERT_TRUE(PumpUntil([&] {
        int thousands = 0;
        int sevens = 0;
        for (uint32_t id : view_handler_.timers) (id == 1000 ? thousands : sevens) += 1;
        return thousands >= 2 && sevens >= 2;
    }));
    for (uint32_t id : view_handler_.timers) EXPECT_TRUE(id == 1000 || id == 7) << id;
    view_->KillTimer(1000);
    view_->KillTimer(7);
    PumpPending();
    const size_t fired = view_handler_.timers.size();
    PumpUntil([] { return false; }, std::chrono::milliseconds(60));
    EXPECT_EQ(view_handler_.timers.size(), fired);
}

TEST_F(MessagesTest, MessagesPostedFromSeveralThreadsArriveInEachThreadsOrder) {
    constexpr int kThreads = 3;
    constexpr int kEach = 200;
    std::atomic<int> refused{0};
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                if (!view_->PostMessage(i % 2 == 0 ? kNavigate : kRepaint, t, i)) ++refused;
            }
        });
    }
    for (std::thread& poster : posters) poster.join();
    EXPECT_EQ(refused, 0);
    ASSERT_TRUE(PumpUntil([&] { return view_handler_.posted.size() >= kThreads * kEach; }));
    std::vector<int64_t> next(kThreads, 0);
    for (const PostedRecord& record : view_handler_.posted) {
        ASSERT_LT(record.wparam, kThreads);
        EXPECT_EQ(record.lparam, next[record.wparam]) << "thread " << record.wparam;
        EXPECT_EQ(record.message, record.lparam % 2 == 0 ? kNavigate : kRepaint);
        ++next[record.wparam];
    }
}

TEST_F(MessagesTest, OnlyThePrivateRangeCanBePosted) {
    EXPECT_FALSE(view_->PostMessage(WM_CLOSE, 0, 0));
    EXPECT_FALSE(view_->PostMessage(WM_APP, 0, 0));
    EXPECT_TRUE(view_->PostMessage(WM_USER, -1, INT64_MIN));
    ASSERT_TRUE(PumpUntil([&] { return !view_handler_.posted.empty(); }));
    EXPECT_EQ(view_handler_.posted[0].wparam, -1);
    EXPECT_EQ(view_handler_.posted[0].lparam, INT64_MIN);
    EXPECT_TRUE(IsWindow(FrameHwnd()));
}

TEST_F(MessagesTest, ClipboardHoldsTheTextAsUnicode) {
    const std::wstring text = L"Model\tAA:BB:CC:00:11:22\t10.88.0.2 \u00E9";
    ASSERT_TRUE(view_->SetClipboardText(text));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    const auto* held = static_cast<const wchar_t*>(GlobalLock(data));
    EXPECT_EQ(std::wstring(held), text);
    GlobalUnlock(data);
    CloseClipboard();
}

// Texts of the about box's static lines, and its caption, once it shows.
struct AboutSeen {
    std::wstring caption;
    std::vector<std::wstring> lines;
};

TEST_F(MessagesTest, TheAboutBoxComesFromTheResourcesAndClosesWithOk) {
    AboutSeen seen;
    std::thread closer([&] {
        HWND dialog = nullptr;
        for (int i = 0; i < 200 && dialog == nullptr; ++i) {
            dialog = FindWindowW(L"#32770", orvan::res::kAboutCaption);
            if (dialog == nullptr) Sleep(25);
        }
        if (dialog == nullptr) return;
        wchar_t caption[64] = {};
        GetWindowTextW(dialog, caption, 64);
        seen.caption = caption;
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t text[128] = {};
            GetWindowTextW(child, text, 128);
            seen.lines.emplace_back(text);
        }
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    app_->RunAboutDialog();
    closer.join();
    EXPECT_EQ(seen.caption, orvan::res::kAboutCaption);
    EXPECT_NE(std::find(seen.lines.begin(), seen.lines.end(), orvan::res::kAboutVersionLine),
              seen.lines.end());
    EXPECT_NE(std::find(seen.lines.begin(), seen.lines.end(), orvan::res::kAboutCopyrightLine),
              seen.lines.end());
    EXPECT_NE(std::find(seen.lines.begin(), seen.lines.end(), orvan::res::kAboutOkButton), seen.lines.end());
}

TEST_F(MessagesTest, TheStringTableAndTheMenuAreInTheResources) {
    wchar_t text[128] = {};
    ASSERT_GT(LoadStringW(GetModuleHandleW(nullptr), 128, text, 128), 0);
    EXPECT_STREQ(text, orvan_res_string(128));
    ASSERT_GT(LoadStringW(GetModuleHandleW(nullptr), 100, text, 128), 0);
    EXPECT_STREQ(text, orvan_res_string(100));
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128));
    ASSERT_NE(menu, nullptr);
    EXPECT_NE(GetMenuState(menu, 57664, MF_BYCOMMAND), static_cast<UINT>(-1)) << "the About command";
    DestroyMenu(menu);
    EXPECT_NE(LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128)), nullptr);
    EXPECT_NE(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128)), nullptr);
}

// Without the manifest Windows gives the program version 5 of the common controls, which draws no
// sort arrows in the list's headings.
TEST_F(MessagesTest, TheManifestAsksForVersion6OfTheCommonControls) {
    HMODULE program = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(program, found)));
    ASSERT_NE(bytes, nullptr);
    const std::string manifest(bytes, SizeofResource(program, found));
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos)
        << manifest;
}

TEST_F(MessagesTest, UrlsGoToTheReplacementAndTheShellGetsNothingThatIsNoUrl) {
    std::vector<std::string> opened;
    bool accepted = true;
    SetUrlOpener([&](const std::string& url) {
        opened.push_back(url);
        return accepted;
    });
    EXPECT_TRUE(view_->OpenUrl("http://10.88.0.2"));
    accepted = false;
    EXPECT_FALSE(view_->OpenUrl("http://10.88.0.3")) << "the handler's refusal reaches the screen";
    SetUrlOpener(nullptr);
    EXPECT_EQ(opened, (std::vector<std::string>{"http://10.88.0.2", "http://10.88.0.3"}));
    // Without a replacement these would reach the shell, which would run or open them as files.
    for (const char* notUrl :
         {"", "notepad.exe", "C:\\Windows\\notepad.exe", "c:x", "http://a b", "1http://x", "http:"}) {
        SCOPED_TRACE(notUrl);
        EXPECT_FALSE(view_->OpenUrl(notUrl));
    }
}

}  // namespace
}  // namespace win32_test
