// orvan-scan: finds the maker's devices from a terminal or a script, on the finder's libraries.
#include <string>
#include <string_view>
#include <vector>

#include "liborvaniot_os/liborvaniot_os_console.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "scan_options.h"
#include "scanner.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = liborvaniot_os_console_arguments(argc, argv);
    const std::vector<std::string_view> args(arguments.begin(), arguments.end());
    liborvaniot_os_console_prepare_streams();
    const orvan_scan::ParsedOptions parsed = orvan_scan::ParseScanOptions(args);
    orvan_scan::Console console{stdout, stderr, liborvaniot_os_console_is_terminal(2) == 1};
    if (!parsed.options) {
        orvan_scan::ReportError(console, parsed.error + "\nTry 'orvan-scan --help' for more information.");
        return orvan_scan::kExitError;
    }
    if (parsed.options->help) {
        std::fputs(orvan_scan::HelpText().data(), stdout);
        return std::fflush(stdout) == 0 ? 0 : orvan_scan::kExitError;
    }
    // Standard error belongs to the user here: the runtime's diagnostics only when asked for.
    if (!parsed.options->debug) liborvaniot_os_debug_set_output(-1);
    liborvaniot_os_console_ignore_broken_pipe();
    return orvan_scan::RunScanner(*parsed.options, console);
}
