// The application on Qt: the display check, QApplication, the main frame, the UI-thread poll and
// the dialogs.
#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "orvan_wnd/host.h"
#include "qt_about_dialog.h"
#include "qt_frame.h"
#include "qt_resources.h"

namespace orvan::wnd {

namespace {

constexpr const char* kNoDisplay =
    "no display: set DISPLAY or run under Xvfb (for example: xvfb-run -a orvan_finder), "
    "or choose another Qt platform with QT_QPA_PLATFORM\n";

// The platform Qt will pick: the -platform option, else QT_QPA_PLATFORM.
std::string RequestedPlatform(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if ((arg == "-platform" || arg == "--platform") && i + 1 < argc) return argv[i + 1];
    }
    const char* env = std::getenv("QT_QPA_PLATFORM");
    return env != nullptr ? env : "";
}

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// The X11 platform needs a reachable X server; without one Qt aborts with a message that does
// not say what to do about it.
bool UsesX11(const std::string& platform) {
    if (platform.empty()) return !IsSet("WAYLAND_DISPLAY");
    return platform.rfind("xcb", 0) == 0;
}

std::atomic<bool> g_starting{false};
QtMessageHandler g_previous_handler = nullptr;

// While QApplication starts on X11, a fatal message means the display could not be opened.
void StartupMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg && g_starting.load()) {
        std::fputs(kNoDisplay, stderr);
        // Qt's own reason, first line only: the display, or a platform plugin that would not load.
        std::fprintf(stderr, "(%s)\n", message.section(QLatin1Char('\n'), 0, 0).toLocal8Bit().constData());
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (g_previous_handler != nullptr) g_previous_handler(type, context, message);
}

class QtApplication final : public Application {
  public:
    QtApplication(int& argc, char** argv, const std::string& appId, bool x11) {
        if (x11) {
            g_starting = true;
            g_previous_handler = qInstallMessageHandler(StartupMessageHandler);
        }
        app_ = std::make_unique<QApplication>(argc, argv);
        if (x11) {
            g_starting = false;
            qInstallMessageHandler(g_previous_handler);
        }
        QGuiApplication::setDesktopFileName(QString::fromStdString(appId));
        QApplication::setQuitOnLastWindowClosed(true);
        qt::InitResources();
    }

    ~QtApplication() override {
        polls_.clear();
        app_.reset();
    }

    std::unique_ptr<FrameWindow> CreateFrame(FrameHandler& handler) override {
        auto frame = std::make_unique<qt::QtFrame>(handler);
        if (handler.OnCreate(*frame) != 0) return nullptr;
        main_ = frame.get();
        return frame;
    }

    int Run() override { return QApplication::exec(); }

    void StartPoll(uint32_t intervalMs, std::function<void()> poll) override {
        auto timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, std::move(poll));
        timer->start(static_cast<int>(intervalMs));
        polls_.push_back(std::move(timer));
    }

    void WatchOnce(int descriptor, std::function<void()> onReadable) override {
        auto notifier = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
        QSocketNotifier* watched = notifier.get();
        // Once is enough, and a descriptor that stays readable must not keep the loop busy.
        QObject::connect(watched, &QSocketNotifier::activated, [watched, onReadable = std::move(onReadable)] {
            watched->setEnabled(false);
            onReadable();
        });
        watches_.push_back(std::move(notifier));
    }

    void MessageBox(const std::wstring& text) override {
        QMessageBox::information(nullptr, QApplication::applicationDisplayName(),
                                 QString::fromStdWString(text));
    }

    void RunAboutDialog() override {
        qt::CAboutDlg dialog(main_);
        dialog.exec();
    }

  private:
    std::unique_ptr<QApplication> app_;
    std::vector<std::unique_ptr<QTimer>> polls_;
    std::vector<std::unique_ptr<QSocketNotifier>> watches_;
    QWidget* main_ = nullptr;
};

}  // namespace

std::unique_ptr<Application> CreateApplication(int& argc, char** argv, const std::string& appId,
                                               std::string* error) {
    const bool x11 = UsesX11(RequestedPlatform(argc, argv));
    if (x11 && !IsSet("DISPLAY")) {
        if (error != nullptr) *error = kNoDisplay;
        return nullptr;
    }
    return std::make_unique<QtApplication>(argc, argv, appId, x11);
}

}  // namespace orvan::wnd
