#include "LiveVideoActivity/tracked_block.h"

#include "liborvaniot_os/liborvaniot_os_mem.h"

namespace ORVAN_UXClass {

bool TrackedBlock::Allocate(size_t size, const char* file, int32_t line) {
    Release();
    data_ = liborvaniot_os_mem_calloc(1, size, file, line);
    if (data_ == nullptr) return false;
    size_ = size;
    file_ = file;
    line_ = line;
    return true;
}

void TrackedBlock::Release() {
    if (data_ != nullptr) liborvaniot_os_mem_dbg_free(data_, file_, line_);
    data_ = nullptr;
    size_ = 0;
}

}  // namespace ORVAN_UXClass
