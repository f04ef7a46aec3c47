// The command lines a settings write produces for a status page: one line per setting whose
// value to set is 0 or 1, in the page's order, each logged under the page's own caller name.
#pragma once

#include <vector>

#include "corvaniot_network.h"

namespace ORVAN_UXClass {

struct SetCommandLine {
    const char* caller;  // lives for the whole run
    const char* text;    // the whole line, line end included
    friend bool operator==(const SetCommandLine&, const SetCommandLine&) = default;
};

// The lines for the record's page_id: gateway guard pages 112, 212 and 312, the remote-control
// page 607 and the sensor pages 505, 604 and 615. Any other page, and every setting whose value
// is neither 0 nor 1 (unknown), gives no line.
std::vector<SetCommandLine> SetCommandLines(const corvaniot_network& record);

}  // namespace ORVAN_UXClass
