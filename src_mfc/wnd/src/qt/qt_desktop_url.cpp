// Opening a URL with the desktop's handler (xdg-open on X11, through Qt).
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

#include "desktop_url.h"

namespace orvan::wnd {

bool OpenWithDesktop(const std::string& url) {
    // The desktop services need the GUI application; without one nothing can be opened.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return false;
    const QUrl parsed(QString::fromStdString(url), QUrl::StrictMode);
    if (!parsed.isValid() || parsed.scheme().isEmpty()) return false;
    return QDesktopServices::openUrl(parsed);
}

}  // namespace orvan::wnd
