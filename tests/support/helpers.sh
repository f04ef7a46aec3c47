# The shell helpers of the test scripts, benchmarks and demo, brought in by one line:
#     source "<this folder>/helpers.sh"
# Reporting (checks.sh), waiting (wait_for.sh), the private test network and a network one router
# away (test_network.sh, routed_network.sh), simulated devices (device_sim.sh), the virtual display
# and the finder's window (virtual_display.sh, finder_window.sh), the finder's rows (row_dump.sh)
# and a recording URL handler (url_handler.sh). Each file says what it needs set.

for helper in checks wait_for test_network routed_network device_sim virtual_display finder_window row_dump \
    url_handler; do
    # shellcheck source=/dev/null
    source "$(dirname "${BASH_SOURCE[0]}")/$helper.sh"
done
unset helper
