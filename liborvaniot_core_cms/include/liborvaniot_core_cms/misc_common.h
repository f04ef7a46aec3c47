// The core's misc_common module: the cipher contexts and the host's link-local (169.254.0.0/16)
// address, found on an adapter or picked, probed and added for the run.
#pragma once

#include <cstdint>
#include <string>

// Module start: creates the misc_common lock, prepares the cipher
// contexts and, only if they were prepared, sets up the link-local address. 0 when the lock exists.
int32_t misc_common_initialize();
// Module stop: removes an added address, releases the cipher contexts, destroys the lock.
void misc_common_finalize();

// Seconds an added address lives unless it is renewed; the core loop renews it about every second.
inline constexpr uint32_t MISC_COMMON_LINK_LOCAL_LIFETIME_S = 5;
// Label suffix that also marks our addresses ("<ifname>:ov") where the name leaves room for it.
inline constexpr char MISC_COMMON_LINK_LOCAL_LABEL_SUFFIX[] = ":ov";

// At core start: removes what killed runs left behind and publishes an existing address. Adding
// one, when needed and allowed, is left to the core loop's first refresh.
void misc_common_link_local_address_setup();
// -1 when no probe socket was obtained; otherwise the outcome of the interface choice and the pick.
int32_t misc_common_link_local_address_add();
// 0 when an address was added to the interface, otherwise the last error of the add or the search.
int32_t misc_common_link_local_address_pick(uint32_t if_index);
// 0 when the current candidate answered (*answers raised by one), 1 otherwise.
int32_t misc_common_link_local_echo_probe(int32_t* answers);
// Restarts the added address's lifetime: 0, or non-zero when there is none or it is gone.
int32_t misc_common_link_local_address_renew();
// The core loop's check, about once a second: renews the added address; notices when the
// published address has gone (removed by someone, or with the finder that had added it) and
// withdraws it; then publishes an address that appeared meanwhile or, with administrator rights,
// adds one (after a failed attempt, not again for 30 seconds).
void misc_common_link_local_address_refresh();
// Removes the added address, if any, and clears the published values.
void misc_common_link_local_address_remove();

// Called on the core's thread whenever the published address comes, goes or changes (null: none).
// It must return quickly and must not call back into this module.
void misc_common_set_link_local_listener(void (*listener)(void* data), void* data);
// Where candidates' last two bytes come from (null: the system's random source, the default). For
// tests that must know the candidates in advance; the source returns false when it has none left.
void misc_common_set_link_local_candidate_source(bool (*source)(uint8_t bytes[2], void* data), void* data);

// Rises with every change of the published values.
uint32_t misc_common_link_local_generation();

// Published values, written on the core's thread and safe to read from any thread.
// "%d.%d.%d.%d" of the link-local address (or of the candidate being tried), "" when none.
std::string misc_common_link_local_text_copy();
// The same text in place, for the core's own thread.
const char* misc_common_link_local_text();
// 1 when an existing address was found or a new one was added.
int32_t misc_common_link_local_present();
// The address this run added (network byte order), 0 when it added none.
uint32_t misc_common_link_local_added_address();
