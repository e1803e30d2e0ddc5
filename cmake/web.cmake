# The web page: the program compiled to WebAssembly by Debian's emscripten, with the browser's
# sound call and the page's front end, and the folder that a web server serves (brumbesang/): the
# page, the program's .js and .wasm, the clips, the icons, the web app manifest and the service
# worker that keeps them all for use offline. Included by the main CMakeLists.txt when building
# with emscripten (the web preset).

# emcc's JavaScript optimizer runs on node and needs Debian's acorn, which a node other than
# Debian's (one that comes first on the PATH) does not find by itself.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)

# The core as it is, with the one function its library lacks here (see the header).
target_compile_options(brumbesang_core PRIVATE
  -include ${PROJECT_SOURCE_DIR}/src/platform/from_chars_web.h)

add_library(brumbesang_platform STATIC
  src/platform/sound_web.cpp
  src/platform/system_web.cpp)
target_include_directories(brumbesang_platform PUBLIC src)

set(BRUMBESANG_SITE_DIR ${CMAKE_BINARY_DIR}/brumbesang)
add_executable(brumbesang src/window/web/main.cpp)
set_target_properties(brumbesang PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${BRUMBESANG_SITE_DIR})
target_link_libraries(brumbesang PRIVATE brumbesang_core brumbesang_platform)
# ASYNCIFY: a handler that waits for the sound gives the browser back its thread meanwhile. The
# page is our own (packaging/web/index.html): emcc makes only the .js and the .wasm.
target_link_options(brumbesang PRIVATE -sASYNCIFY -sENVIRONMENT=web -sFILESYSTEM=0
  -sEXPORTED_RUNTIME_METHODS=ccall)

# The rest of the site beside them, and the service worker, whose version is a digest of every
# file it keeps (cmake/web_sw.cmake), so that a browser sees a new version whenever one changes.
set(site_files packaging/web/index.html packaging/web/manifest.webmanifest
  packaging/web/icon-192.png packaging/web/icon-512.png packaging/icons/brumbesang.svg
  ${BRUMBESANG_CLIPS})
list(TRANSFORM site_files PREPEND ${PROJECT_SOURCE_DIR}/ REGEX "^packaging")
add_custom_command(OUTPUT ${BRUMBESANG_SITE_DIR}/sw.js
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${site_files} ${BRUMBESANG_SITE_DIR}
  COMMAND ${CMAKE_COMMAND} -DSITE=${BRUMBESANG_SITE_DIR}
    -DTEMPLATE=${PROJECT_SOURCE_DIR}/packaging/web/sw.js.in -P ${PROJECT_SOURCE_DIR}/cmake/web_sw.cmake
  DEPENDS brumbesang ${site_files} packaging/web/sw.js.in cmake/web_sw.cmake
  COMMENT "Making the site: the page, the clips and the service worker")
add_custom_target(brumbesang_site ALL DEPENDS ${BRUMBESANG_SITE_DIR}/sw.js)
