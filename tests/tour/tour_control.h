// What a tour script can ask of the running window, one command a line, and what the window
// reports back on the output, one event a line:
//
//   go <id>              post the navigation request for screen <id>, as a screen would
//   fail_timeout <s>     seconds the countdown screens wait before they give up
//   record               print "record" and the connected-device fields the screens hand on
//   quit                 close the main window through its normal close path
//
// Reports: "table <id> ..." once (every screen of the activity table), "screen <id>" whenever
// the current screen changes, "error <text>" for a line it does not understand.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "MainFrame.h"

class TourControl {
  public:
    TourControl(CMainFrame& frame, std::span<const ORVAN_UXClass::ActivityEntry> activities, std::FILE* out)
        : frame_(frame), activities_(activities), out_(out) {}

    void AnnounceTable();
    // Reports a change of the current screen since the last call.
    void Poll();
    void Run(const std::string& line);

  private:
    void Report(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void PrintRecord();

    CMainFrame& frame_;
    std::span<const ORVAN_UXClass::ActivityEntry> activities_;
    std::FILE* out_;
    int64_t shown_id_ = -1;
};
