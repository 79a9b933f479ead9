# Settings every Korvane target shares: warnings, sanitizers, include root.

set(KORVANE_SOURCE_ROOT ${PROJECT_SOURCE_DIR}/src)

if(KORVANE_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(KORVANE_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT KORVANE_SANITIZE STREQUAL "")
  message(FATAL_ERROR "KORVANE_SANITIZE must be empty, 'address' or 'thread'")
endif()

function(korvane_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(KORVANE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# A library made of every .cpp below the calling folder, so that adding a file
# never means editing a list. Headers are included as "core/...", "sim/...".
function(korvane_glob_library target type)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${target} ${type} ${sources})
  target_include_directories(${target} PUBLIC ${KORVANE_SOURCE_ROOT})
  korvane_target_defaults(${target})
endfunction()
