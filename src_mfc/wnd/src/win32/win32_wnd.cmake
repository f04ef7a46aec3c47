# The window layer on Win32: GDI drawing on a DIB section, the common-controls list view, the shell's
# "open", DrawDib for pictures. The program's resources come from the .rc made in ../../../res/.
file(GLOB ORVAN_WND_WIN32_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
add_library(orvan_wnd STATIC ${ORVAN_WND_SHARED_SOURCES} ${ORVAN_WND_WIN32_SOURCES})
target_link_libraries(orvan_wnd PUBLIC orvan_wnd_api
                                PRIVATE orvan_res comctl32 gdi32 user32 shell32 ole32 vfw32 ws2_32)
