# The window layer on Qt 6 Widgets.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
# The art lives beside this folder (res/); res/CMakeLists.txt, which publishes the same path as
# ORVAN_RES_QRC, is read after this one.
set(ORVAN_WND_RES_QRC ${CMAKE_CURRENT_SOURCE_DIR}/../res/res.qrc)
qt_add_resources(ORVAN_WND_RES_SOURCES ${ORVAN_WND_RES_QRC})
file(GLOB ORVAN_WND_QT_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
add_library(orvan_wnd STATIC ${ORVAN_WND_SHARED_SOURCES} ${ORVAN_WND_QT_SOURCES} ${ORVAN_WND_RES_SOURCES})
target_link_libraries(orvan_wnd PUBLIC orvan_wnd_api PRIVATE Qt6::Widgets orvan_res liborvaniot_os)
# Qt's keyword macros (signals, slots, emit) stay out of the way of the program's own names.
target_compile_definitions(orvan_wnd PRIVATE QT_NO_KEYWORDS)
