# orvan_add_test_suite(<target> [ENVIRONMENT <NAME=value>...])
#
# Registers a GoogleTest program that needs no test network. CTest lists each of its cases as
# <target>.<Suite>.<Case>, so that one case runs alone:
#     ctest --test-dir build -R '^orvan_form_tests\.DeviceListReach\.'
# and a regular expression naming the program still selects all of its cases. The cases are listed
# when CTest runs, from the program as built. The Windows build keeps one entry per program: listing
# its cases there would start Wine at every CTest run.
include_guard(GLOBAL)
include(GoogleTest)

function(orvan_add_test_suite target)
  cmake_parse_arguments(PARSE_ARGV 1 suite "" "" "ENVIRONMENT")
  if(suite_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "orvan_add_test_suite: unexpected arguments ${suite_UNPARSED_ARGUMENTS}")
  endif()
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
    if(suite_ENVIRONMENT)
      set_tests_properties(${target} PROPERTIES ENVIRONMENT "${suite_ENVIRONMENT}")
    endif()
    return()
  endif()
  # Parameterised cases keep the names their instantiation gives them (the printed values may be
  # addresses, different at every run). Sanitizer builds list their cases slowly: allow for it.
  gtest_discover_tests(${target} TEST_PREFIX "${target}." TEST_LIST ${target}_cases NO_PRETTY_VALUES
                       DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120)
  if(suite_ENVIRONMENT)
    # The discovered cases get their properties from a script CTest reads after the list: the
    # module's own PROPERTIES argument would split a list of variables into separate words.
    set(script "${CMAKE_CURRENT_BINARY_DIR}/${target}_environment.cmake")
    file(WRITE "${script}"
         "if(${target}_cases)\n"
         "  set_tests_properties(\${${target}_cases} PROPERTIES ENVIRONMENT \"${suite_ENVIRONMENT}\")\n"
         "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
  endif()
endfunction()
