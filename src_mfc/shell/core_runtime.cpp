#include "core_runtime.h"

#include "liborvaniot_core_cms/liborvaniot_core_cms.h"

CoreRuntime CoreRuntime::Default() {
    return CoreRuntime{[] { return liborvaniot_core_cms_initialize(); },
                       [] { liborvaniot_core_cms_finalize(); }};
}
