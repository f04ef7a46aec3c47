// Conversions between the system's multibyte text (UTF-8 here) and the wide text the window
// shows. Devices choose the bytes of their texts, so broken sequences are expected and shown as
// U+FFFD rather than cut or passed on. Wide text is UTF-32 on Linux and UTF-16 on Windows, where
// characters beyond U+FFFF take a surrogate pair.
#pragma once

#include <string>
#include <string_view>

namespace ORVAN_UXClass {

inline constexpr wchar_t kReplacementCharacter = 0xFFFD;

// Each well-formed UTF-8 sequence gives its character; every byte of a malformed one (stray
// continuation, overlong form, surrogate, beyond U+10FFFF, cut short) gives U+FFFD.
std::wstring WideFromLocal(std::string_view bytes);
// The same, one element per character whatever the size of a wide character.
std::u32string CodePointsFromLocal(std::string_view bytes);

// The text with every control character (C0, DEL, C1) and every bidirectional override or isolate
// replaced by U+FFFD, so that what a device sends can neither break a line nor reorder the text
// around it.
std::wstring VisibleText(std::wstring text);

// UTF-8 form of a wide text; values that are no character (lone surrogates too) become U+FFFD.
std::string LocalFromWide(std::wstring_view text);
std::string LocalFromCodePoints(std::u32string_view text);

}  // namespace ORVAN_UXClass
