#include "corvaniot_network.h"

namespace ORVAN_UXClass {

namespace {

struct LinkCodes {
    int32_t kind;
    int32_t link_class;
    int32_t link_type;
};

constexpr LinkCodes kLinkCodes[] = {
    {1, 257, 257}, {2, 258, 258}, {3, 259, 259}, {4, 258, 260},
    {5, 259, 261}, {6, 259, 262}, {7, 259, 263}, {263, 259, 263},
};

}  // namespace

void prepare_connection(corvaniot_network* record) {
    if (record == nullptr || record->conn_handle != -1 || record->device_name[0] == '\0' ||
        record->link_ready == 0) {
        return;
    }
    for (const LinkCodes& codes : kLinkCodes) {
        if (codes.kind == record->device_kind) {
            record->link_class = codes.link_class;
            record->link_type = codes.link_type;
            return;
        }
    }
}

void drop_connection(corvaniot_network* record) {
    if (record == nullptr || record->conn_handle == -1 || record->link_ready == 0) return;
    record->conn_handle = -1;
}

}  // namespace ORVAN_UXClass
