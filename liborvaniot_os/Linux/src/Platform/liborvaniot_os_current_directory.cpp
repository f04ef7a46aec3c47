// The current directory from getcwd, converted from the locale's multibyte text.
#include "liborvaniot_os_current_directory.h"

#include <linux/limits.h>
#include <unistd.h>

#include <cstring>
#include <cwchar>

// The path is only logged, so an unusual directory must not stop the program: the buffer holds the
// longest path the system allows, and bytes that are no text in the locale (a Latin-1 name under
// UTF-8, say) are shown as U+FFFD rather than failing the start.
bool liborvaniot_os_read_current_directory(std::wstring* out) {
    char narrow[PATH_MAX];
    if (::getcwd(narrow, sizeof narrow) == nullptr) return false;
    std::mbstate_t state{};
    const char* source = narrow;
    const char* const end = narrow + std::strlen(narrow);
    out->clear();
    while (source < end) {
        wchar_t character = 0;
        const size_t used = std::mbrtowc(&character, source, static_cast<size_t>(end - source), &state);
        if (used == static_cast<size_t>(-1) || used == static_cast<size_t>(-2) || used == 0) {
            character = 0xFFFD;
            state = std::mbstate_t{};
            ++source;
        } else {
            source += used;
        }
        out->push_back(character);
    }
    return true;
}
