#include "line_input.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

std::vector<std::string> LineInput::ReadLines() {
    std::vector<std::string> lines;
    char buffer[4096];
    while (!ended_) {
        pollfd ready{fd_, POLLIN, 0};
        if (::poll(&ready, 1, 0) <= 0) break;
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ended_ = true;
            break;
        }
        pending_.append(buffer, static_cast<size_t>(got));
    }
    for (size_t end = pending_.find('\n'); end != std::string::npos; end = pending_.find('\n')) {
        lines.push_back(pending_.substr(0, end));
        pending_.erase(0, end + 1);
    }
    // A last line without its line end still counts once the writer has gone.
    if (ended_ && !pending_.empty()) {
        lines.push_back(std::move(pending_));
        pending_.clear();
    }
    return lines;
}
