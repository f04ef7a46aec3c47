// The desktop's URL handler behind a replaceable function.
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>
#include <mutex>

#include "orvan_wnd/wnd.h"

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

bool OpenWithDesktop(const std::string& url) {
    // The desktop services need the GUI application; without one nothing can be opened.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return false;
    const QUrl parsed(QString::fromStdString(url), QUrl::StrictMode);
    if (!parsed.isValid() || parsed.scheme().isEmpty()) return false;
    return QDesktopServices::openUrl(parsed);
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
