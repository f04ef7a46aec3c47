// What the Win32 layer has beyond the common window contract: the about box, the resources and
// the shell's URL opener.
#include <string>
#include <thread>

#include "resource_ids.h"
#include "window_fixture.h"

namespace win32_test {
namespace {

using MessagesTest = WindowTest;

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

TEST_F(MessagesTest, TheShellGetsNothingThatIsNoUrl) {
    // Without a replacement these would reach the shell, which would run or open them as files.
    for (const char* notUrl :
         {"", "notepad.exe", "C:\\Windows\\notepad.exe", "c:x", "http://a b", "1http://x", "http:"}) {
        SCOPED_TRACE(notUrl);
        EXPECT_FALSE(view_->OpenUrl(notUrl));
    }
}

}  // namespace
}  // namespace win32_test
