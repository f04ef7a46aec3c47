// The dialog that asks for one line of text: it opens over the view with the given text, takes only
// what its check accepts, says why it refused, and Cancel takes nothing.
#include <string>
#include <thread>
#include <vector>

#include "win32_text_prompt.h"
#include "window_fixture.h"

namespace win32_test {
namespace {

using TextPromptTest = WindowTest;

constexpr wchar_t kTitle[] = L"Scan addresses";

// The user at the dialog, from another thread: each typed text is put in the field and OK pressed;
// the field's first text and every error line shown are recorded; then Cancel or nothing.
struct PromptUser {
    std::vector<std::wstring> typed;
    bool cancelAtEnd = false;
    std::wstring opened;
    std::vector<std::wstring> errors;

    void Run() {
        HWND dialog = nullptr;
        for (int i = 0; i < 200 && dialog == nullptr; ++i) {
            dialog = FindWindowW(L"#32770", kTitle);
            if (dialog == nullptr) Sleep(25);
        }
        if (dialog == nullptr) return;
        wchar_t text[256] = {};
        GetDlgItemTextW(dialog, win32::kPromptFieldId, text, 256);
        opened = text;
        for (const std::wstring& entry : typed) {
            SendMessageW(GetDlgItem(dialog, win32::kPromptFieldId), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(entry.c_str()));
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
            if (!IsWindow(dialog)) return;
            wchar_t error[256] = {};
            GetDlgItemTextW(dialog, win32::kPromptErrorId, error, 256);
            // Empty once a text was taken (the dialog may not be gone yet).
            if (error[0] != L'\0') errors.emplace_back(error);
        }
        if (cancelAtEnd) SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
};

TEST_F(TextPromptTest, TakesOnlyWhatItsCheckAcceptsAndSaysWhyNot) {
    TextPrompt prompt;
    prompt.title = kTitle;
    prompt.label = L"Addresses";
    prompt.text = L"10.0.0.1";
    prompt.check = [](const std::wstring& text) { return text.find(L'x') != std::wstring::npos ? L"no x here" : L""; };

    PromptUser corrects;
    corrects.typed = {L"10.0.0.x", L"10.2.0.0/24"};
    std::thread user([&] { corrects.Run(); });
    EXPECT_EQ(view_->PromptText(prompt), std::optional<std::wstring>(L"10.2.0.0/24"));
    user.join();
    EXPECT_EQ(corrects.opened, L"10.0.0.1");
    EXPECT_EQ(corrects.errors, std::vector<std::wstring>{L"no x here"});

    PromptUser gives_up;
    gives_up.typed = {L"x"};
    gives_up.cancelAtEnd = true;
    user = std::thread([&] { gives_up.Run(); });
    EXPECT_EQ(view_->PromptText(prompt), std::nullopt);
    user.join();
    EXPECT_EQ(gives_up.errors, std::vector<std::wstring>{L"no x here"});
}

}  // namespace
}  // namespace win32_test
