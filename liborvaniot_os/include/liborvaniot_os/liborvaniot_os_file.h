// Replacing a file whole, so that a reader (a test, a metrics collector) never sees half of it.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes the bytes to a fresh file beside path (created exclusively, never through a link someone
// planted there), then renames it over path: 0, or the error number (the fresh file is removed
// again then). Readers see the old file or the new one, never a mix. Where modes exist the file
// gets mode less the umask: 0600 for what only its owner may read, 0666 for a file another user's
// program reads (a metrics collector), as a shell redirection would create it.
int32_t liborvaniot_os_file_replace(const char* path, const void* data, size_t size, uint32_t mode);
