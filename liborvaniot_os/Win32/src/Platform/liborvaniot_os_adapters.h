// The IP Helper's adapter list (GetAdaptersAddresses), read whole into an owned buffer.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#pragma once

#include <winsock2.h>
#include <iphlpapi.h>

#include <cstddef>
#include <memory>
#include <string>

// The first adapter of the list, or null when it cannot be read; the list lives as long as storage.
const IP_ADAPTER_ADDRESSES* liborvaniot_os_read_adapters(std::unique_ptr<unsigned char[]>* storage);

// An adapter's friendly name ("Ethernet 2") as UTF-8, the form interface names take in this program.
std::string liborvaniot_os_adapter_name(const IP_ADAPTER_ADDRESSES& adapter);

// Copies the UTF-8 text into out (size bytes, terminated), cut where a whole character ends when it
// does not fit: a friendly name in any script stays valid text.
void liborvaniot_os_copy_utf8(const std::string& text, char* out, size_t size);

// Whether an address of the adapter can be used now: the adapter is up and duplicate detection has
// made the address preferred (not tentative, duplicate or deprecated).
bool liborvaniot_os_address_usable(const IP_ADAPTER_ADDRESSES& adapter, const IP_ADAPTER_UNICAST_ADDRESS& address);
