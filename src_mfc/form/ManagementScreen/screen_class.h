// Gives one screen of a table-driven kind its own class name. The kind is a class template over the
// activity id whose table knows each screen's name; a line that pairs a name with the wrong id
// does not build.
#pragma once

#include <string_view>

#define ORVAN_TABLE_SCREEN(Kind, Name, Id) \
    using Name = Kind<Id>;                 \
    static_assert(Kind<Id>::NamedAs(std::string_view(#Name)), #Name " is not the screen with activity id " #Id)
