// Opening a URL with the desktop's handler (xdg-open on X11, through Qt; through the runtime when
// root runs the finder on a user's behalf, so that the browser runs as that user).
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

#include "desktop_url.h"
#include "liborvaniot_os/liborvaniot_os_console.h"

namespace orvan::wnd {

bool OpenWithDesktop(const std::string& url) {
    const QUrl parsed(QString::fromStdString(url), QUrl::StrictMode);
    if (!parsed.isValid() || parsed.scheme().isEmpty()) return false;
    if (liborvaniot_os_open_url_switches_user() != 0) return liborvaniot_os_open_url_detached(url.c_str()) == 0;
    // The desktop services need the GUI application; without one nothing can be opened.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return false;
    return QDesktopServices::openUrl(parsed);
}

}  // namespace orvan::wnd
