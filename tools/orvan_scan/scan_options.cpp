#include "scan_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace orvan_scan {

namespace {

constexpr std::string_view kHelp =
    "Usage: orvan-scan [OPTION]...\n"
    "Find the maker's cameras, camera boxes and gateways on this computer's networks.\n"
    "\n"
    "By default every usable network interface is asked, answers are collected until they stop\n"
    "(1 s after the last new device, at most --timeout seconds after the probes went out), and\n"
    "one line per device is printed, sorted by IP address.\n"
    "\n"
    "  --json               print a JSON array of devices (model, mac, ip, name, location, web_url,\n"
    "                       endpoint, types, xaddrs, scopes, metadata_version)\n"
    "  --csv                print the same fields as CSV (RFC 4180)\n"
    "  --watch              print one JSON line per device that answers, announces itself (hello)\n"
    "                       or leaves (bye), until interrupted (or until --timeout)\n"
    "  --prometheus         print the devices and the scan's figures in Prometheus' text format\n"
    "                       (for node_exporter's textfile collector)\n"
    "  --output FILE        replace FILE with the result in one step instead of printing it (a\n"
    "                       reader never sees half of it); with --prometheus the file is written\n"
    "                       also when the scan could not run, saying so\n"
    "  --interface NAME|ADDR  ask only on this interface or local address (repeatable)\n"
    "  --target T           also ask every address of T by unicast, for devices behind a router:\n"
    "                       an address (10.3.0.7), a network (10.2.0.0/24: its hosts, without the\n"
    "                       network and broadcast addresses) or a range (10.4.0.10-10.4.0.60);\n"
    "                       repeatable; --timeout counts from the last of these probes\n"
    "  --rate N             send at most N unicast probes a second (default 1000)\n"
    "  --allow-large        allow targets of more than 65536 addresses in all\n"
    "  --no-multicast       ask only the --target addresses, send no multicast probe\n"
    "  --timeout S          wait at most S seconds for answers (default 3)\n"
    "  --open IP|MAC        scan, then open that device's web page (https or http by model); one\n"
    "                       on another network of the link is reached first (as root), and the\n"
    "                       address that reaches it is kept until interrupted\n"
    "  --reach IP|MAC       scan, then make that device reachable from this computer (as root)\n"
    "                       and keep it so until interrupted\n"
    "  --debug              show the runtime's diagnostics on standard error\n"
    "  -h, --help           show this help and exit\n"
    "\n"
    "Exit status: 0 when at least one device was found, 1 when none was, 2 on a usage or system\n"
    "error. Run as root, it uses or adds a link-local (169.254.0.0/16) address for the run, as the\n"
    "finder does, and removes it when it exits.\n";

struct Parser {
    std::span<const std::string_view> args;
    size_t next = 0;
    ScanOptions options;
    std::string error;

    // The value of an option that takes one, from "--name=value" or the next argument.
    std::optional<std::string_view> Value(std::string_view name,
                                          std::optional<std::string_view> inline_value) {
        if (inline_value) return inline_value;
        if (next < args.size()) return args[next++];
        error = "option '" + std::string(name) + "' needs a value";
        return std::nullopt;
    }

    bool SetMode(OutputMode mode, std::string_view name) {
        if (options.mode != OutputMode::table && options.mode != mode) {
            error = "only one of --json, --csv, --prometheus and --watch can be given (got " + std::string(name) +
                    " too)";
            return false;
        }
        options.mode = mode;
        return true;
    }

    bool SetTimeout(std::string_view text) {
        const std::string copy(text);
        char* end = nullptr;
        errno = 0;
        const double value = std::strtod(copy.c_str(), &end);
        if (copy.empty() || end == nullptr || *end != '\0' || errno != 0 || !std::isfinite(value) ||
            value <= 0 || value > kMaxTimeoutS) {
            error = "invalid timeout '" + copy + "': give seconds, more than 0 and at most 86400";
            return false;
        }
        options.timeout_s = value;
        return true;
    }

    bool SetRate(std::string_view text) {
        uint64_t value = 0;
        bool digits = !text.empty() && text.size() <= 7;
        for (const char c : text) {
            digits = digits && c >= '0' && c <= '9';
            if (digits) value = value * 10 + static_cast<uint64_t>(c - '0');
        }
        if (!digits || value == 0 || value > kMaxRate) {
            error = "invalid rate '" + std::string(text) + "': give probes a second, a whole number from 1 to " +
                    std::to_string(kMaxRate);
            return false;
        }
        options.rate = static_cast<uint32_t>(value);
        return true;
    }

    bool One(std::string_view arg) {
        std::optional<std::string_view> inline_value;
        std::string_view name = arg;
        if (arg.starts_with("--")) {
            if (const size_t eq = arg.find('='); eq != std::string_view::npos) {
                name = arg.substr(0, eq);
                inline_value = arg.substr(eq + 1);
            }
        }
        const bool takes_value = name == "--interface" || name == "--timeout" || name == "--open" ||
                                 name == "--reach" || name == "--output" || name == "--target" ||
                                 name == "--rate";
        if (inline_value && !takes_value) {
            error = "option '" + std::string(name) + "' takes no value";
            return false;
        }
        if (name == "-h" || name == "--help")
            options.help = true;
        else if (name == "--debug")
            options.debug = true;
        else if (name == "--allow-large")
            options.allow_large = true;
        else if (name == "--no-multicast")
            options.multicast = false;
        else if (name == "--json")
            return SetMode(OutputMode::json, name);
        else if (name == "--csv")
            return SetMode(OutputMode::csv, name);
        else if (name == "--watch")
            return SetMode(OutputMode::watch, name);
        else if (name == "--prometheus")
            return SetMode(OutputMode::prometheus, name);
        else if (takes_value) {
            const std::optional<std::string_view> value = Value(name, inline_value);
            if (!value) return false;
            if (name == "--timeout") return SetTimeout(*value);
            if (name == "--rate") return SetRate(*value);
            if (name == "--target") {
                // Read together at the end, where the bound on their total is known.
                options.targets.emplace_back(*value);
                return true;
            }
            if (name == "--output") {
                if (value->empty()) {
                    error = "option '--output' needs a file name";
                    return false;
                }
                options.output = std::string(*value);
                return true;
            }
            if (name == "--interface") {
                if (value->empty()) {
                    error = "option '--interface' needs an interface name or address";
                    return false;
                }
                options.interfaces.emplace_back(*value);
                return true;
            }
            std::optional<DeviceTarget>& target = name == "--open" ? options.open : options.reach;
            target = ParseDeviceTarget(*value);
            if (!target) {
                error = "invalid device '" + std::string(*value) + "' for " + std::string(name) +
                        ": give an IP address or a MAC";
                return false;
            }
        } else {
            error = (arg.starts_with("-") ? "unknown option '" : "unexpected argument '") + std::string(arg) +
                    "'";
            return false;
        }
        return true;
    }
};

}  // namespace

ParsedOptions ParseScanOptions(std::span<const std::string_view> args) {
    Parser parser{args, 0, {}, {}};
    while (parser.next < args.size()) {
        if (!parser.One(args[parser.next++])) return ParsedOptions{std::nullopt, parser.error};
    }
    ScanOptions& options = parser.options;
    if (options.open && options.mode != OutputMode::table) {
        return ParsedOptions{std::nullopt, "--open cannot be combined with --json, --csv, --prometheus or --watch"};
    }
    if (options.reach && (options.open || options.mode != OutputMode::table)) {
        return ParsedOptions{std::nullopt,
                             "--reach cannot be combined with --open, --json, --csv, --prometheus or --watch"};
    }
    if (options.output && (options.mode == OutputMode::watch || options.open || options.reach)) {
        return ParsedOptions{std::nullopt, "--output cannot be combined with --watch, --open or --reach"};
    }
    if (!options.multicast && options.targets.empty()) {
        return ParsedOptions{std::nullopt, "--no-multicast needs at least one --target to ask"};
    }
    drm_probe_target_list targets = drm_probe_targets_parse(options.targets, options.allow_large);
    if (!targets.error.empty()) {
        if (targets.addresses > DRM_PROBE_TARGET_LIMIT) {
            targets.error += ": give smaller targets, or --allow-large to probe them all";
        }
        return ParsedOptions{std::nullopt, targets.error};
    }
    options.target_ranges = std::move(targets.ranges);
    if (!options.timeout_s && options.mode != OutputMode::watch) options.timeout_s = kDefaultTimeoutS;
    return ParsedOptions{std::move(options), {}};
}

std::string_view HelpText() {
    return kHelp;
}

}  // namespace orvan_scan
