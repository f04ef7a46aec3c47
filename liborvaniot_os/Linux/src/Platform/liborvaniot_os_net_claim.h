// Claims on the addresses we add: an exclusive lock on a file in a directory only root may use, so
// that no unprivileged user can take or block a claim, and the system releases it when its holder
// ends, however it ends.
#pragma once

#include <cstdint>

// Where claims live on this host; tests pass a directory of their own.
inline constexpr char LIBORVANIOT_OS_NET_CLAIM_DIRECTORY[] = "/run/orvan-claims";

// Takes the claim called name in directory (created as root-owned 0700 when missing; refused with
// EPERM when it is a symbolic link, not owned by root or open to anyone else). 0 with *fd holding
// the claim, EADDRINUSE while another live process holds it, or another error number.
int32_t liborvaniot_os_net_claim_take(const char* directory, const char* name, int* fd);

// The claim name of an address in this network namespace: addresses are per namespace, the claim
// directory is not. False when the namespace cannot be told.
bool liborvaniot_os_net_claim_name(uint32_t address, char* out, unsigned long size);

// Gives the claim up (its file goes with it) and leaves *fd at -1.
void liborvaniot_os_net_claim_release(const char* directory, const char* name, int* fd);
