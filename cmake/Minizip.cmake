# minizip, the zip-writing side of zlib's contrib folder, built for the target as the static library
# `minizip` against the target's zlib (package libz-mingw-w64-dev). Its sources are not part of this
# tree: scripts/setup fetches Debian's zlib source package once into PIXHAUL_ZLIB_SOURCE_ROOT.
set(PIXHAUL_ZLIB_SOURCE_ROOT /usr/local/src/pixhaul-zlib CACHE PATH
  "Folder holding the unpacked zlib source package (made by scripts/setup)")

file(GLOB minizip_candidates ${PIXHAUL_ZLIB_SOURCE_ROOT}/zlib-*/contrib/minizip/zip.c)
list(SORT minizip_candidates)
list(LENGTH minizip_candidates minizip_count)
if(minizip_count EQUAL 0)
  message(FATAL_ERROR "minizip sources not found under ${PIXHAUL_ZLIB_SOURCE_ROOT}: run scripts/setup")
endif()
list(GET minizip_candidates -1 minizip_zip_c)
get_filename_component(PIXHAUL_MINIZIP_DIR ${minizip_zip_c} DIRECTORY)

find_path(PIXHAUL_ZLIB_INCLUDE_DIR zlib.h)
find_library(PIXHAUL_ZLIB_LIBRARY NAMES libz.a z)
if(NOT PIXHAUL_ZLIB_INCLUDE_DIR OR NOT PIXHAUL_ZLIB_LIBRARY)
  message(FATAL_ERROR "zlib for the target not found (package libz-mingw-w64-dev): run scripts/setup")
endif()

add_library(minizip STATIC
  ${PIXHAUL_MINIZIP_DIR}/zip.c ${PIXHAUL_MINIZIP_DIR}/ioapi.c ${PIXHAUL_MINIZIP_DIR}/iowin32.c)
# Only what the zip writer uses: no encryption, and the sources' own warnings are not ours to fix.
target_compile_definitions(minizip PUBLIC NOCRYPT)
target_compile_options(minizip PRIVATE -w)
target_include_directories(minizip SYSTEM PUBLIC ${PIXHAUL_MINIZIP_DIR} ${PIXHAUL_ZLIB_INCLUDE_DIR})
target_link_libraries(minizip PUBLIC ${PIXHAUL_ZLIB_LIBRARY})
