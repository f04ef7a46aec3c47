// The addresses the user asked Scan to probe one by one besides the multicast (devices behind a
// router), as typed ("10.2.0.0/24 10.3.0.7 10.4.0.10-10.4.0.60"), kept in a small file of the
// user's so that every later Scan, in this run and the next, probes them too.
#pragma once

#include <string>
#include <vector>

namespace ORVAN_UXClass {

// The targets of a text, as separated by spaces (or tabs, line breaks, commas).
std::vector<std::string> ScanTargetWords(const std::string& text);

class ScanTargetsFile {
  public:
    // "orvan-finder/scan-targets" in the user's configuration folder: $XDG_CONFIG_HOME (or
    // ~/.config) on Linux, %APPDATA% on Windows; empty when none can be named.
    static std::string DefaultPath();

    explicit ScanTargetsFile(std::string path) : path_(std::move(path)) {}

    // The targets saved last; none (and one log line saying why) when the file is missing or cannot
    // be read.
    std::string Load() const;
    // Replaces the file in one step (a reader sees the old targets or the new ones); false, logged,
    // when it could not.
    bool Save(const std::string& targets) const;

  private:
    std::string path_;
};

}  // namespace ORVAN_UXClass
