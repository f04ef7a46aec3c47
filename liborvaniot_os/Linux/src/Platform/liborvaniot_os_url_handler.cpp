// The desktop's URL handler (xdg-open) on Linux, started as the desktop's own user when root runs
// the program on that user's behalf.
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "liborvaniot_os/liborvaniot_os_console.h"

extern char** environ;

namespace {

constexpr char kUrlHandler[] = "xdg-open";

// Variables that describe the user a process runs as: replaced by the desktop user's own when the
// handler runs as that user, so that it never writes into root's home or talks to root's session.
constexpr std::string_view kUserVariables[] = {
    "HOME=",          "USER=",          "LOGNAME=",       "SHELL=",           "MAIL=",
    "XDG_RUNTIME_DIR=", "DBUS_SESSION_BUS_ADDRESS=", "XDG_CONFIG_HOME=", "XDG_DATA_HOME=",
    "XDG_CACHE_HOME=", "XDG_STATE_HOME=", "SUDO_UID=",      "SUDO_GID=",        "SUDO_USER=",
    "SUDO_COMMAND=",  "PKEXEC_UID="};

enum class invoker { none, user, refused };

// Who asked root to run us: sudo and pkexec leave the user's id behind.
invoker invoking_user(uid_t* uid) {
    if (::geteuid() != 0) return invoker::none;
    for (const char* name : {"SUDO_UID", "PKEXEC_UID"}) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0') continue;
        const size_t length = std::strlen(value);
        if (length > 10 || std::strspn(value, "0123456789") != length) return invoker::refused;
        const unsigned long id = std::strtoul(value, nullptr, 10);
        if (id > 0xFFFFFFFEul) return invoker::refused;
        *uid = static_cast<uid_t>(id);
        return *uid == 0 ? invoker::none : invoker::user;
    }
    return invoker::none;
}

bool owned_by(const std::string& path, uid_t uid) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && info.st_uid == uid;
}

// Everything the child needs, prepared before the fork: after it, only calls that are safe in the
// child of a threaded process remain.
struct launch {
    std::string path;
    std::vector<std::string> arguments;
    std::vector<std::string> environment;
    bool switch_user = false;
    uid_t uid = 0;
    gid_t gid = 0;
    std::vector<gid_t> groups;

    std::vector<char*> pointers(std::vector<std::string>& texts) const {
        std::vector<char*> out;
        for (std::string& text : texts) out.push_back(text.data());
        out.push_back(nullptr);
        return out;
    }
};

std::optional<std::string> find_in_path(const char* program) {
    const char* path = std::getenv("PATH");
    std::string_view rest = path != nullptr && *path != '\0' ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const size_t end = rest.find(':');
        std::string directory(rest.substr(0, end));
        if (directory.empty()) directory = ".";
        const std::string candidate = directory + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        if (end == std::string_view::npos) return std::nullopt;
        rest.remove_prefix(end + 1);
    }
}

bool is_user_variable(const char* entry) {
    for (std::string_view name : kUserVariables) {
        if (std::strncmp(entry, name.data(), name.size()) == 0) return true;
    }
    return false;
}

// The desktop user's identity and environment: false when the user is unknown.
bool prepare_user(uid_t uid, launch* out) {
    passwd record{};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(uid, &record, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) return false;
    out->switch_user = true;
    out->uid = uid;
    out->gid = record.pw_gid;
    int count = 64;
    out->groups.resize(static_cast<size_t>(count));
    if (::getgrouplist(record.pw_name, record.pw_gid, out->groups.data(), &count) < 0) {
        out->groups.resize(static_cast<size_t>(count));
        if (::getgrouplist(record.pw_name, record.pw_gid, out->groups.data(), &count) < 0) count = 0;
    }
    out->groups.resize(static_cast<size_t>(count));
    if (out->groups.empty()) out->groups.push_back(record.pw_gid);

    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!is_user_variable(*entry)) out->environment.emplace_back(*entry);
    }
    out->environment.push_back(std::string("HOME=") + record.pw_dir);
    out->environment.push_back(std::string("USER=") + record.pw_name);
    out->environment.push_back(std::string("LOGNAME=") + record.pw_name);
    const std::string runtime = "/run/user/" + std::to_string(uid);
    if (owned_by(runtime, uid)) {
        out->environment.push_back("XDG_RUNTIME_DIR=" + runtime);
        if (owned_by(runtime + "/bus", uid)) out->environment.push_back("DBUS_SESSION_BUS_ADDRESS=unix:path=" + runtime + "/bus");
    }
    return true;
}

std::optional<launch> prepare(const char* url) {
    if (url == nullptr || *url == '\0') return std::nullopt;
    launch out;
    uid_t uid = 0;
    switch (invoking_user(&uid)) {
        case invoker::refused:
            return std::nullopt;
        case invoker::user:
            if (!prepare_user(uid, &out)) return std::nullopt;
            break;
        case invoker::none:
            for (char** entry = environ; *entry != nullptr; ++entry) out.environment.emplace_back(*entry);
            break;
    }
    std::optional<std::string> path = find_in_path(kUrlHandler);
    if (!path) return std::nullopt;
    out.path = *path;
    out.arguments = {kUrlHandler, url};
    return out;
}

// In the child: becomes the desktop user for good (groups, then group, then user; a user that
// could still become root again would defeat the point) and runs the handler. On failure the
// error number goes to the parent through the pipe.
[[noreturn]] void run_handler(const launch& how, char* const* argv, char* const* envp, int report) {
    int error = 0;
    if (how.switch_user) {
        if (::setgroups(how.groups.size(), how.groups.data()) != 0 || ::setgid(how.gid) != 0 ||
            ::setuid(how.uid) != 0) {
            error = errno;
        } else if (::setuid(0) == 0) {
            error = EPERM;
        }
    }
    if (error == 0) {
        ::execve(how.path.c_str(), argv, envp);
        error = errno;
    }
    [[maybe_unused]] const ssize_t written = ::write(report, &error, sizeof error);
    ::_exit(127);
}

pid_t wait_child(pid_t child, int* status) {
    pid_t done;
    while ((done = ::waitpid(child, status, 0)) < 0 && errno == EINTR) {
    }
    return done;
}

// Starts the handler: 0 once it runs, -1 when it could not start. With wait, the handler's exit
// status afterwards (-1 when it did not end normally).
int32_t start(const char* url, bool wait) {
    std::optional<launch> how = prepare(url);
    if (!how) return -1;
    std::vector<char*> argv = how->pointers(how->arguments);
    std::vector<char*> envp = how->pointers(how->environment);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return -1;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return -1;
    }
    if (child == 0) {
        ::close(report[0]);
        // Not waited for: the handler becomes a grandchild, which the system reaps.
        if (!wait && ::fork() != 0) ::_exit(0);
        run_handler(*how, argv.data(), envp.data(), report[1]);
    }
    ::close(report[1]);
    int error = 0;
    ssize_t got;
    while ((got = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    int status = 0;
    const bool started = got == 0;
    if (wait_child(child, &status) < 0 || !started) return -1;
    if (!wait) return 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int32_t liborvaniot_os_open_url(const char* url) {
    return start(url, true);
}

std::string liborvaniot_os_open_url_failure(int32_t status) {
    return status < 0 ? "the desktop's URL handler (xdg-open) could not be run"
                      : "the desktop's URL handler (xdg-open) failed with status " + std::to_string(status);
}

int32_t liborvaniot_os_open_url_detached(const char* url) {
    return start(url, false);
}

int32_t liborvaniot_os_open_url_switches_user() {
    uid_t uid = 0;
    return invoking_user(&uid) != invoker::none ? 1 : 0;
}
