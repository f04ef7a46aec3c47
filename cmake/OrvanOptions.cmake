# Compiler warnings and sanitizer builds shared by every target.
#
#   -DORVAN_SANITIZER=address   AddressSanitizer + UndefinedBehaviorSanitizer
#   -DORVAN_SANITIZER=thread    ThreadSanitizer
set(ORVAN_SANITIZER "" CACHE STRING "Sanitizer build: empty, 'address' (ASan+UBSan) or 'thread' (TSan)")
set_property(CACHE ORVAN_SANITIZER PROPERTY STRINGS "" address thread)

add_compile_options(-Wall -Wextra -Wno-unused-parameter)

if(ORVAN_SANITIZER STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  add_compile_definitions(ORVAN_SANITIZED=1)
elseif(ORVAN_SANITIZER STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
  add_compile_definitions(ORVAN_SANITIZED=1)
elseif(NOT ORVAN_SANITIZER STREQUAL "")
  message(FATAL_ERROR "ORVAN_SANITIZER must be empty, 'address' or 'thread'")
endif()
# These options come after the build type's on the command line, so they take its place.
if(NOT ORVAN_SANITIZER STREQUAL "")
  # The sanitizers' own advice: -O1 keeps the checked program fast enough and its stack traces
  # whole, and compiles in about half the time of -O2 with full debugging information. A report
  # needs function names and lines, which line tables alone give.
  add_compile_options(-O1 -g1)
elseif(WIN32)
  # The Windows distribution is stripped; line tables still give Wine's backtraces their lines.
  add_compile_options(-g1)
endif()

if(WIN32)
  # Windows 10 and later; lean headers without the min/max macros; the POSIX thread-safe time
  # conversions (localtime_r) that mingw-w64 provides on request.
  add_compile_definitions(_WIN32_WINNT=0x0A00 WIN32_LEAN_AND_MEAN NOMINMAX
                          _POSIX_THREAD_SAFE_FUNCTIONS=200112L)
endif()
