#include "StatusPage/status_text.h"

#include <cstdio>
#include <ctime>

#include "liborvaniot_os/liborvaniot_os_thread.h"

namespace ORVAN_UXClass {

namespace {

// The date and time, terminator included.
constexpr size_t kTimeTextSize = 20;

template <class... Args>
std::string Format(const char* format, Args... args) {
    const int length = std::snprintf(nullptr, 0, format, args...);
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, format, args...);
    return text;
}

}  // namespace

std::wstring WideFromAscii(std::string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring MacText(uint64_t mac) {
    return WideFromAscii(Format("[0x%016llX]", static_cast<unsigned long long>(mac)));
}

std::wstring VoltText(double volt) {
    return WideFromAscii(Format("%.1f", volt));
}

std::wstring BatteryText(int32_t battStatus) {
    if (battStatus == 0) return L"LOW";
    if (battStatus == 1) return L"OK";
    return kUnknownText;
}

std::optional<std::string> LocalTimeText(int64_t seconds) {
    struct tm local {};
    liborvaniot_os_localtime_r(seconds, &local);
    // A failed conversion comes back all zero; day 0 of a month is never a real date.
    if (local.tm_mday == 0) return std::nullopt;
    char text[kTimeTextSize];
    // strftime gives 0 when the text does not fit (a year beyond 9999), and then the buffer holds
    // nothing usable.
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) != kTimeTextSize - 1)
        return std::nullopt;
    return std::string(text);
}

}  // namespace ORVAN_UXClass
