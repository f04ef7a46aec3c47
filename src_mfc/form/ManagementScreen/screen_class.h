// Gives one screen of a table-driven kind its own class name. A kind is a screen class built for
// an activity id (constructor: view, object list, navigator, id) whose table knows each screen's
// name (static constexpr NamedAs(id, name)); a line that pairs a name with the wrong id does not
// build.
#pragma once

#include <cstdint>
#include <string_view>

#include "AppDelegate.h"

namespace ORVAN_UXClass {

// The screen of kind Kind with activity id Id, constructed as the navigator constructs screens.
template <class Kind, int32_t Id>
class TableScreen final : public Kind {
  public:
    TableScreen(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate)
        : Kind(view, objectList, delegate, Id) {}
};

}  // namespace ORVAN_UXClass

#define ORVAN_TABLE_SCREEN(Kind, Name, Id) \
    using Name = TableScreen<Kind, Id>;    \
    static_assert(Kind::NamedAs(Id, #Name), #Name " is not the screen with activity id " #Id)
