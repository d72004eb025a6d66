# One compile configuration for every target: the warnings well-kept Qt
# projects build with, Qt's restrictions on implicit conversions between
# strings, bytes and URLs, and warnings as errors where asked for (test.sh
# asks; a user's build with a newer compiler should not fail on a new warning).
option(ORVIK_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)

set(orvik_cxx_warnings
  -Wall -Wextra -Wpedantic
  -Wold-style-cast -Wcast-align -Wpointer-arith -Wundef
  -Woverloaded-virtual -Wnon-virtual-dtor
  -Wformat=2 -Wmissing-format-attribute)
foreach(flag ${orvik_cxx_warnings})
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:${flag}>)
endforeach()
add_compile_options($<$<COMPILE_LANGUAGE:C>:-Wall> $<$<COMPILE_LANGUAGE:C>:-Wextra>)
if(ORVIK_WARNINGS_AS_ERRORS)
  add_compile_options(-Werror)
endif()

add_compile_definitions(
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH)

# Q_ASSERT checks (the window-thread checks among them) also in an optimised
# build: test.sh and tools/sanitize.sh keep them, so the tests exercise them.
option(ORVIK_ASSERTS "Keep Q_ASSERT checks in optimised builds" OFF)
if(ORVIK_ASSERTS)
  add_compile_definitions(QT_FORCE_ASSERTS)
endif()

# Sanitizer builds (tools/sanitize.sh): "address,undefined" or "thread".
set(ORVIK_SANITIZE "" CACHE STRING "Sanitizers to build with (for example address,undefined or thread)")
if(ORVIK_SANITIZE)
  add_compile_options(-fsanitize=${ORVIK_SANITIZE} -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${ORVIK_SANITIZE})
  if(ORVIK_SANITIZE MATCHES "undefined")
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
  if(ORVIK_SANITIZE MATCHES "thread")
    add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-include>
                        $<$<COMPILE_LANGUAGE:CXX>:${CMAKE_SOURCE_DIR}/tools/sanitize/TsanTimedWait.h>)
  endif()
  if(ORVIK_SANITIZE MATCHES "address")
    add_library(orvik_leak_suppressions OBJECT ${CMAKE_SOURCE_DIR}/tools/sanitize/LeakSuppressions.cpp)
    link_libraries(orvik_leak_suppressions)
  endif()
endif()

# orvik_uses_uno(TARGET): the target's code calls the office's objects. Their
# type information stays inside the office's libraries, where the sanitizer's
# check of dynamic types cannot see it and takes every call for a wrong type.
function(orvik_uses_uno target)
  if(ORVIK_SANITIZE MATCHES "undefined")
    target_compile_options(${target} PRIVATE -fno-sanitize=vptr)
  endif()
endfunction()
