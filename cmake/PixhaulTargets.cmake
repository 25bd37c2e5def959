# Helpers that keep each folder's CMakeLists short.
#
# pixhaul_folder_library(<target> [DEPENDS <libs>...])
#   A static library made of every .cpp file in the calling folder (not its sub-folders).
#   New files are picked up at the next build without editing any list.
function(pixhaul_folder_library target)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${target} PRIVATE ${PIXHAUL_WARNINGS})
  if(ARG_DEPENDS)
    target_link_libraries(${target} PUBLIC ${ARG_DEPENDS})
  endif()
endfunction()

# pixhaul_test_suite(<name> [LIBS <libs>...] [TIMEOUT <seconds>] [DESKTOP])
#   Called from tests/<folder>/CMakeLists.txt: one GoogleTest executable <name>_tests made of every
#   .cpp file in the calling folder, registered with CTest as <name> and run through Wine.
#   DESKTOP: the suite shows windows that need focus, the foreground or the pointer; such suites
#   share one virtual display and never run at the same time as each other.
function(pixhaul_test_suite name)
  cmake_parse_arguments(ARG "DESKTOP" "TIMEOUT" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(exe ${name}_tests)
  add_executable(${exe} ${sources})
  target_include_directories(${exe} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_compile_options(${exe} PRIVATE ${PIXHAUL_WARNINGS})
  target_link_libraries(${exe} PRIVATE ${ARG_LIBS} testsupport GTest::gtest_main)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${exe} --gtest_brief=0)
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "PIXHAUL_SOURCE_DIR=${PROJECT_SOURCE_DIR};PIXHAUL_BINARY_DIR=${PROJECT_BINARY_DIR}")
  if(ARG_DESKTOP)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop)
  endif()
endfunction()

# pixhaul_separate_debug_info(<target>)
#   Moves the target's debug information out of the binary into <binary>.debug beside it, which
#   the binary names for debuggers. Wine copies into memory every section that does not sit
#   page-aligned in the file, so debug sections left in the image could add twenty megabytes to a
#   process's working set, more or less from one link to the next.
function(pixhaul_separate_debug_info target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug
            $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
