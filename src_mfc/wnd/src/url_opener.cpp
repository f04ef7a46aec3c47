// The URL handler behind a replaceable function.
#include <mutex>

#include "desktop_url.h"
#include "orvan_wnd/host.h"

namespace orvan::wnd {

namespace {

std::mutex& OpenerMutex() {
    static std::mutex mutex;
    return mutex;
}

std::function<bool(const std::string&)>& Opener() {
    static std::function<bool(const std::string&)> opener;
    return opener;
}

}  // namespace

bool OpenUrl(const std::string& url) {
    std::function<bool(const std::string&)> opener;
    {
        std::lock_guard lock(OpenerMutex());
        opener = Opener();
    }
    return opener ? opener(url) : OpenWithDesktop(url);
}

void SetUrlOpener(std::function<bool(const std::string&)> opener) {
    std::lock_guard lock(OpenerMutex());
    Opener() = std::move(opener);
}

}  // namespace orvan::wnd
