// Lines from a file descriptor (the tour's standard input) without blocking the window's message
// loop: each call takes what has arrived so far and hands back the complete lines.
#pragma once

#include <string>
#include <vector>

class LineInput {
  public:
    explicit LineInput(int fd) : fd_(fd) {}

    // The complete lines that arrived since the last call, without their line ends.
    std::vector<std::string> ReadLines();
    // The writer has gone: no more lines will come.
    bool Ended() const { return ended_; }

  private:
    int fd_;
    bool ended_ = false;
    std::string pending_;
};
