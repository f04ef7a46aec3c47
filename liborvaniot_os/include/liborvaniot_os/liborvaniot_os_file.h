// Replacing a file whole, so that a reader (a test, a metrics collector) never sees half of it.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes the bytes to a fresh file beside path (created exclusively, mode 0600 where modes exist,
// never through a link someone planted there), then renames it over path: 0, or the error number
// (the fresh file is removed again then). Readers see the old file or the new one, never a mix.
int32_t liborvaniot_os_file_replace(const char* path, const void* data, size_t size);
