// The desktop's URL handler as root on a user's behalf: it runs as that user, never as root.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "liborvaniot_os/liborvaniot_os_console.h"

namespace {

namespace fs = std::filesystem;

constexpr char kNobody[] = "65534";

// Sets or unsets an environment variable for the life of the object.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value != nullptr) ::setenv(name, value, 1);
        else ::unsetenv(name);
    }
    ~ScopedVariable() {
        if (old_) ::setenv(name_, old_->c_str(), 1);
        else ::unsetenv(name_);
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

// A recording xdg-open first in PATH: it writes the uid it runs as and its HOME, readable by any
// user it may run as.
class UrlHandlerAsRoot : public testing::Test {
  protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "needs root";
        char pattern[] = "/tmp/orvan-url-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        fs::create_directories(dir_ / "bin");
        fs::create_directories(dir_ / "out");
        fs::permissions(dir_, fs::perms(0755));
        fs::permissions(dir_ / "out", fs::perms(0777));
        std::ofstream(dir_ / "bin" / "xdg-open") << "#!/bin/sh\necho \"$(id -u) $(id -G | wc -w) $HOME $1\" >"
                                                 << (dir_ / "out" / "seen").string() << "\n";
        fs::permissions(dir_ / "bin" / "xdg-open", fs::perms(0755));
        path_.emplace("PATH", ((dir_ / "bin").string() + ":/usr/bin:/bin").c_str());
    }
    void TearDown() override {
        path_.reset();
        std::error_code ignored;
        if (!dir_.empty()) fs::remove_all(dir_, ignored);
    }

    // What the handler wrote, waiting up to 5 s for a handler that was not waited for.
    std::string Seen() const {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!fs::exists(dir_ / "out" / "seen") && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(dir_ / "out" / "seen");
        std::string line;
        std::getline(in, line);
        return line;
    }

    fs::path dir_;
    std::optional<ScopedVariable> path_;
};

TEST_F(UrlHandlerAsRoot, RunsAsTheUserSudoOrPkexecNames) {
    struct Case {
        const char* sudo_uid;
        const char* pkexec_uid;
        bool detached;
        const char* expected_prefix;  // uid, then the number of groups
    } const cases[] = {
        {kNobody, nullptr, false, "65534 1 /nonexistent http://198.18.0.7/"},
        {nullptr, kNobody, false, "65534 1 /nonexistent http://198.18.0.7/"},
        {kNobody, nullptr, true, "65534 1 /nonexistent http://198.18.0.7/"},
        {nullptr, nullptr, false, "0 "},
        {"0", nullptr, false, "0 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.sudo_uid ? c.sudo_uid : "-") + " " + (c.pkexec_uid ? c.pkexec_uid : "-") +
                     (c.detached ? " detached" : ""));
        fs::remove(dir_ / "out" / "seen");
        const ScopedVariable sudo("SUDO_UID", c.sudo_uid);
        const ScopedVariable pkexec("PKEXEC_UID", c.pkexec_uid);
        const int32_t outcome = c.detached ? liborvaniot_os_open_url_detached("http://198.18.0.7/")
                                           : liborvaniot_os_open_url("http://198.18.0.7/");
        EXPECT_EQ(outcome, 0);
        EXPECT_EQ(Seen().rfind(c.expected_prefix, 0), 0u) << Seen();
    }
}

TEST_F(UrlHandlerAsRoot, AMalformedOrUnknownUserRefusesInsteadOfOpeningAsRoot) {
    for (const char* uid : {"12ab", "-5", "99999999999", "4000000000"}) {
        SCOPED_TRACE(uid);
        const ScopedVariable sudo("SUDO_UID", uid);
        EXPECT_EQ(liborvaniot_os_open_url_switches_user(), 1);
        EXPECT_EQ(liborvaniot_os_open_url("http://198.18.0.7/"), -1);
        EXPECT_FALSE(fs::exists(dir_ / "out" / "seen"));
    }
}

}  // namespace
