# The start the network tests of orvan-scan share: their arguments (<orvan-scan> <orvan_device_sim>),
# reporting named after the script (checks.sh), the helpers for waiting, the test network and
# simulated devices, and a work folder that other users may read (a URL handler or a scan run as
# another user reaches it). Source it first; the script sets its own trap to stop what it starts and
# remove $work.

check_name=$(basename "$0" .sh)
usage="usage: $check_name.sh <orvan-scan> <orvan_device_sim>"
scan=${1:?$usage}
sim=${2:?$usage}

for helper in checks wait_for test_network routed_network device_sim url_handler; do
    # shellcheck source=/dev/null
    source "$(dirname "${BASH_SOURCE[0]}")/../support/$helper.sh"
done
require_test_network "$check_name"

work=$(mktemp -d)
chmod 755 "$work"
