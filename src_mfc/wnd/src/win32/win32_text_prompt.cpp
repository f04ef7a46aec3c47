#include "win32_text_prompt.h"

#include <vector>

namespace orvan::wnd::win32 {

namespace {

// What the dialog procedure works with while the dialog is up.
struct PromptState {
    const TextPrompt* prompt;
    std::optional<std::wstring> taken;
};

// A DLGTEMPLATE and its items, laid out as DialogBoxIndirectParam reads them.
class DialogTemplate {
  public:
    DialogTemplate(const std::wstring& title, short cx, short cy, WORD items) {
        Align();
        Add(DWORD{DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU});
        Add(DWORD{0});  // extended style
        words_.push_back(items);
        for (const short value : {short{0}, short{0}, cx, cy}) words_.push_back(static_cast<WORD>(value));
        words_.push_back(0);  // no menu
        words_.push_back(0);  // the default dialog class
        Text(title);
        words_.push_back(9);  // point size
        Text(L"Segoe UI");
    }

    // An item of a predefined class (0x0080 button, 0x0081 edit, 0x0082 static).
    void Item(WORD atom, int id, DWORD style, short x, short y, short cx, short cy, const std::wstring& text) {
        Align();
        Add(DWORD{WS_CHILD | WS_VISIBLE | style});
        Add(DWORD{0});
        for (const short value : {x, y, cx, cy}) words_.push_back(static_cast<WORD>(value));
        words_.push_back(static_cast<WORD>(id));
        words_.push_back(0xFFFF);
        words_.push_back(atom);
        Text(text);
        words_.push_back(0);  // no creation data
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void Add(DWORD value) {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void Text(const std::wstring& text) {
        for (const wchar_t c : text) words_.push_back(static_cast<WORD>(c));
        words_.push_back(0);
    }
    // Every item starts on a DWORD boundary (the vector's storage is aligned for that).
    void Align() {
        if (words_.size() % 2 != 0) words_.push_back(0);
    }

    std::vector<WORD> words_;
};

std::wstring FieldText(HWND dialog) {
    HWND field = GetDlgItem(dialog, kPromptFieldId);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
    return text;
}

INT_PTR CALLBACK PromptProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* state = reinterpret_cast<PromptState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lparam);
            state = reinterpret_cast<PromptState*>(lparam);
            SetDlgItemTextW(dialog, kPromptFieldId, state->prompt->text.c_str());
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK) {
                SetDlgItemTextW(dialog, kPromptErrorId, L"");
                const std::wstring text = FieldText(dialog);
                const std::wstring refusal = state->prompt->check ? state->prompt->check(text) : std::wstring();
                if (!refusal.empty()) {
                    // The dialog stays for a correction, saying what was wrong.
                    SetDlgItemTextW(dialog, kPromptErrorId, refusal.c_str());
                    SetFocus(GetDlgItem(dialog, kPromptFieldId));
                    return TRUE;
                }
                state->taken = text;
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wparam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

}  // namespace

std::optional<std::wstring> RunTextPrompt(HWND owner, const TextPrompt& prompt) {
    constexpr WORD kButton = 0x0080;
    constexpr WORD kEdit = 0x0081;
    constexpr WORD kStatic = 0x0082;
    DialogTemplate dialog(prompt.title, 280, 104, 5);
    dialog.Item(kStatic, kPromptLabelId, SS_LEFT, 7, 7, 266, 20, prompt.label);
    dialog.Item(kEdit, kPromptFieldId, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 30, 266, 14, L"");
    dialog.Item(kStatic, kPromptErrorId, SS_LEFT, 7, 48, 266, 28, L"");
    dialog.Item(kButton, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 169, 82, 50, 14, L"OK");
    dialog.Item(kButton, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 223, 82, 50, 14, L"Cancel");
    PromptState state{&prompt, std::nullopt};
    DialogBoxIndirectParamW(Module(), dialog.Get(), owner, &PromptProc, reinterpret_cast<LPARAM>(&state));
    return state.taken;
}

}  // namespace orvan::wnd::win32
