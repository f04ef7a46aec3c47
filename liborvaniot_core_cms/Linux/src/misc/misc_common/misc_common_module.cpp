// Start and stop of the misc_common module: its lock, the cipher
// contexts and the link-local address.
#include <atomic>

#include "liborvaniot_core_cms/misc_common.h"
#include "liborvaniot_os/liborvaniot_os_aes_func.h"
#include "liborvaniot_os/liborvaniot_os_mutex.h"

namespace {

// The program's cipher key and IV; the contexts are prepared from them at every start.
constexpr char kKeyText[] = "K-bKPFXJZmzhIFE5^fHwKz*MZVowYaYI";
constexpr char kIvText[] = "1xeocbZGYoneQQ8w";
static_assert(sizeof kKeyText - 1 == LIBORVANIOT_OS_AES_KEY_TEXT_LENGTH);
static_assert(sizeof kIvText - 1 == LIBORVANIOT_OS_AES_IV_TEXT_LENGTH);

// Marks the module's lifetime; nothing acquires it.
struct_plock misc_common_mx;
std::atomic<int32_t> misc_common_initialized{0};

}  // namespace

int32_t misc_common_initialize() {
    if (liborvaniot_os_mutex_struct_plock_init(&misc_common_mx, "misc_common_initialize", __LINE__) != 0)
        return 1;
    misc_common_initialized = 1;
    if (liborvaniot_os_aes_prepare(kKeyText, kIvText) == 0) misc_common_link_local_address_setup();
    return 0;
}

void misc_common_finalize() {
    if (misc_common_initialized.load() != 1) return;
    misc_common_link_local_address_remove();
    liborvaniot_os_aes_release();
    liborvaniot_os_mutex_struct_plock_free(&misc_common_mx, "misc_common_finalize", __LINE__);
    misc_common_initialized = 0;
}
