# Writes the Windows resource script (cmake -P, at build time).
#   -DQRC=<res.qrc> -DTEMPLATE=<windows_resources.rc.in> -DOUTPUT=<file.rc>
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/windows_resource_list.cmake)
orvan_windows_resources(${QRC} ORVAN_RC_PICTURES files)
set(ORVAN_RC_MANIFEST ${CMAKE_CURRENT_LIST_DIR}/orvan_finder.manifest)
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
