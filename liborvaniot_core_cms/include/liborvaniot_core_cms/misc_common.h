// The core's misc_common module: the cipher contexts and the host's link-local (169.254.0.0/16)
// address, found on an adapter or picked, probed and added for the run.
#pragma once

#include <cstdint>

// Module start: creates the misc_common lock, seeds the candidate generator, prepares the cipher
// contexts and, only if they were prepared, sets up the link-local address. 0 when the lock exists.
int32_t misc_common_initialize();
// Module stop: removes an added address, releases the cipher contexts, destroys the lock.
void misc_common_finalize();

// Seconds an added address lives unless it is renewed; the core loop renews it about every second.
inline constexpr uint32_t MISC_COMMON_LINK_LOCAL_LIFETIME_S = 5;
// Label suffix that marks our addresses ("<ifname>:ov"), so that a new run can remove what a killed
// run left behind.
inline constexpr char MISC_COMMON_LINK_LOCAL_LABEL_SUFFIX[] = ":ov";

void misc_common_link_local_address_setup();
// -1 when no probe socket was obtained; otherwise the outcome of the interface choice and the pick.
int32_t misc_common_link_local_address_add();
// 0 when an address was added to the interface, otherwise the last error of the add or the search.
int32_t misc_common_link_local_address_pick(uint32_t if_index);
// 0 when the current candidate answered (*answers raised by one), 1 otherwise.
int32_t misc_common_link_local_echo_probe(int32_t* answers);
// Restarts the added address's lifetime: 0, or non-zero when there is none or it is gone.
int32_t misc_common_link_local_address_renew();
// Removes the added address, if any, and clears the published values.
void misc_common_link_local_address_remove();

// Published values; written during core start, read afterwards without locks.
// "%d.%d.%d.%d" of the link-local address (or of the last candidate tried), "" when none.
const char* misc_common_link_local_text();
// 1 when an existing address was found or a new one was added.
int32_t misc_common_link_local_present();
// The address this run added (network byte order), 0 when it added none.
uint32_t misc_common_link_local_added_address();
