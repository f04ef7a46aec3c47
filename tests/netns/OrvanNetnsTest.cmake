# orvan_add_netns_test(NAME <name> COMMAND <program-or-target> [args...]
#                      [PEERS <n>] [TIMEOUT <seconds>] [LABELS <label>...])
#
# Registers a CTest entry that runs the command inside a private test network made by
# netns_run.sh: the command runs in the finder namespace with <n> peer namespaces (default 1)
# beside it. A target name as the first COMMAND word stands for its executable. TIMEOUT (default
# 120) bounds the command; the harness stops it itself so that it can still remove the network,
# and CTest's own limit sits 30 seconds later. The entries run one at a time (RUN_SERIAL) and are
# reported as skipped when CTest does not run as root.
include_guard(GLOBAL)

set(ORVAN_NETNS_RUN "${CMAKE_CURRENT_LIST_DIR}/netns_run.sh" CACHE INTERNAL "Test network runner")

function(orvan_add_netns_test)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "" "NAME;PEERS;TIMEOUT" "COMMAND;LABELS")
  if(NOT ARG_NAME OR NOT ARG_COMMAND)
    message(FATAL_ERROR "orvan_add_netns_test needs NAME and COMMAND")
  endif()
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "orvan_add_netns_test: unexpected arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT ARG_PEERS)
    set(ARG_PEERS 1)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  list(POP_FRONT ARG_COMMAND program)
  if(TARGET ${program})
    set(program "$<TARGET_FILE:${program}>")
  endif()
  add_test(NAME ${ARG_NAME}
           COMMAND ${ORVAN_NETNS_RUN} --peers ${ARG_PEERS} --timeout ${ARG_TIMEOUT} -- ${program} ${ARG_COMMAND})
  math(EXPR ctest_timeout "${ARG_TIMEOUT} + 30")
  set_tests_properties(${ARG_NAME} PROPERTIES
    TIMEOUT ${ctest_timeout}
    RUN_SERIAL TRUE
    SKIP_RETURN_CODE 77
    LABELS "netns;${ARG_LABELS}")
endfunction()
