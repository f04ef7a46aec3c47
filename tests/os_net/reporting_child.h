// A child process for tests of what a process holds and what outlives it: it runs a body, reports
// the body's one value through a pipe, then waits to be killed, so that whatever it holds (a claim,
// an address it renews) stays held meanwhile. Kill ends it as a crash would: nothing is removed.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace os_net_test {

template <typename Value>
class ReportingChild {
  public:
    explicit ReportingChild(const std::function<Value()>& body, int timeout_ms = 10000) {
        int report[2];
        if (pipe(report) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(report[0]);
            const Value value = body();
            if (write(report[1], &value, sizeof value) != sizeof value) _exit(1);
            for (;;) pause();
        }
        close(report[1]);
        pollfd ready{report[0], POLLIN, 0};
        reported_ = pid_ > 0 && poll(&ready, 1, timeout_ms) == 1 &&
                    read(report[0], &value_, sizeof value_) == sizeof value_;
        if (!reported_) value_ = Value{};
        close(report[0]);
    }
    ~ReportingChild() { Kill(); }
    ReportingChild(const ReportingChild&) = delete;
    ReportingChild& operator=(const ReportingChild&) = delete;

    bool reported() const { return reported_; }
    // What the body returned; Value{} when nothing came.
    Value value() const { return value_; }

    void Kill() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    pid_t pid_ = -1;
    bool reported_ = false;
    Value value_{};
};

}  // namespace os_net_test
