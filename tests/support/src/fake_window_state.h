// State shared by the fake window, its device contexts and its list controls, so that each of
// them may outlive the others. Every member is guarded by mutex.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "orvan_test/fake_records.h"
#include "orvan_wnd/wnd.h"

namespace orvan::fake {

struct FakeWindowState {
    struct Entry {
        bool drawing = false;
        std::string text;
    };

    mutable std::mutex mutex;
    std::vector<Entry> log;

    std::map<int32_t, wnd::Size> bitmaps;
    // Cursor handles are the addresses of the mapped values (stable in a map).
    std::map<int32_t, int> cursors;
    int arrowToken = 0;
    wnd::CursorHandle current = &arrowToken;
    std::vector<std::string> cursorChanges;

    int invalidates = 0;
    int setCaptures = 0;
    int releaseCaptures = 0;
    bool captured = false;
    int openDCs = 0;
    std::vector<PostedMessage> posted;
    std::map<uint32_t, uint32_t> timers;
    std::vector<FakeListContents> lists;
    int openPictureDrawers = 0;
    std::vector<std::vector<wnd::MenuItem>> menus;
    std::vector<std::wstring> notices;
    std::vector<std::optional<std::wstring>> promptAnswers;
    std::vector<wnd::TextPrompt> prompts;
    std::vector<std::wstring> promptErrors;
    std::function<uint32_t(const std::vector<wnd::MenuItem>&)> menuChooser;
    std::wstring clipboard;
    bool clipboardResult = true;
    std::vector<std::string> openedUrls;
    std::function<bool(const std::string&)> urlHandler;
    int openFonts = 0;

    int32_t charWidth = 8;
    int32_t textHeight = 16;
    wnd::Size client{960, 540};
    bool isWindow = true;
    bool postResult = true;

    // Callers hold mutex.
    void Record(bool drawing, std::string text) { log.push_back({drawing, std::move(text)}); }
    std::string CursorName(wnd::CursorHandle cursor) const {
        if (!cursor) return "none";
        if (cursor == &arrowToken) return "arrow";
        for (const auto& [id, token] : cursors) {
            if (cursor == &token) return "cursor " + std::to_string(id);
        }
        return "unknown cursor";
    }
};

}  // namespace orvan::fake
