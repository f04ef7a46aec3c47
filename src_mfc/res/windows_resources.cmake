# The finder's resources for Windows: a resource script made at build time from the same list the
# Qt build embeds (res.qrc), compiled by windres into an object library that programs link (a
# resource in a static library would be dropped, since nothing refers to it by symbol).
enable_language(RC)
include(${CMAKE_CURRENT_SOURCE_DIR}/windows_resource_list.cmake)

set(ORVAN_RES_RC ${CMAKE_CURRENT_BINARY_DIR}/orvan_finder.rc)
orvan_windows_resources(${CMAKE_CURRENT_SOURCE_DIR}/res.qrc orvan_res_lines orvan_res_files)
add_custom_command(
  OUTPUT ${ORVAN_RES_RC}
  COMMAND ${CMAKE_COMMAND} -DQRC=${CMAKE_CURRENT_SOURCE_DIR}/res.qrc
          -DTEMPLATE=${CMAKE_CURRENT_SOURCE_DIR}/windows_resources.rc.in -DOUTPUT=${ORVAN_RES_RC}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/windows_resources_rc.cmake
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/res.qrc ${CMAKE_CURRENT_SOURCE_DIR}/windows_resources.rc.in
          ${CMAKE_CURRENT_SOURCE_DIR}/windows_resources_rc.cmake
          ${CMAKE_CURRENT_SOURCE_DIR}/windows_resource_list.cmake
          ${CMAKE_CURRENT_SOURCE_DIR}/orvan_finder.manifest
  COMMENT "Writing the Windows resource script from res.qrc"
  VERBATIM)
# Re-read the list when it changes, so that the dependencies below follow it.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/res.qrc)

add_library(orvan_res_win32 OBJECT ${ORVAN_RES_RC})
target_include_directories(orvan_res_win32 PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
# windres reads the pictures while it compiles; a changed picture must rebuild the object.
set_source_files_properties(${ORVAN_RES_RC} PROPERTIES OBJECT_DEPENDS "${orvan_res_files};${CMAKE_CURRENT_SOURCE_DIR}/resource_text.h;${CMAKE_CURRENT_SOURCE_DIR}/orvan_finder.manifest")
