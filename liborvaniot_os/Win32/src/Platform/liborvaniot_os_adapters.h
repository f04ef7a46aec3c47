// The IP Helper's adapter list (GetAdaptersAddresses), read whole into an owned buffer.
#pragma once

#include <winsock2.h>
#include <iphlpapi.h>

#include <memory>
#include <string>

// The first adapter of the list, or null when it cannot be read; the list lives as long as storage.
const IP_ADAPTER_ADDRESSES* liborvaniot_os_read_adapters(std::unique_ptr<unsigned char[]>* storage);

// An adapter's friendly name ("Ethernet 2") as UTF-8, the form interface names take in this program.
std::string liborvaniot_os_adapter_name(const IP_ADAPTER_ADDRESSES& adapter);
