# The Linux program: the SDL sound call, the GTK 3 window with its icon, its installation (the
# program and its clips together in lib/brumbesang, a link in bin, the desktop entry, the icons,
# the metainfo, the manual page and the licence) and the Debian package of it (cpack -G DEB).
# Included by the main CMakeLists.txt when building for Linux.
find_package(SDL2 REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)

add_library(brumbesang_platform STATIC
  src/platform/clip_file.cpp
  src/platform/sound_queue.cpp
  src/platform/sound_sdl.cpp
  src/platform/system_posix.cpp)
target_link_libraries(brumbesang_platform PUBLIC SDL2::SDL2)
target_include_directories(brumbesang_platform PUBLIC src)

# The window's icon, the 48 px PNG built into the program as an array of bytes.
set(icon_png ${PROJECT_SOURCE_DIR}/packaging/icons/hicolor/48x48/apps/brumbesang.png)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${icon_png})
file(READ ${icon_png} icon_bytes HEX)
string(REGEX REPLACE "(..)" "0x\\1," icon_bytes "${icon_bytes}")
file(WRITE ${CMAKE_BINARY_DIR}/icon_png.cpp
  "extern const unsigned char kIconPng[] = {${icon_bytes}};\n"
  "extern const int kIconPngSize = sizeof kIconPng;\n")

add_executable(brumbesang src/window/gtk/main.cpp ${CMAKE_BINARY_DIR}/icon_png.cpp)
target_link_libraries(brumbesang PRIVATE brumbesang_core brumbesang_platform PkgConfig::GTK3)
target_link_options(brumbesang PRIVATE -Wl,-z,relro -Wl,-z,now)  # as Debian hardens programs

add_custom_command(TARGET brumbesang POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${BRUMBESANG_CLIPS} $<TARGET_FILE_DIR:brumbesang>
  COMMENT "Copying the clips beside brumbesang")

# The files made from the packaging folder: those that name the version, and those gzipped.
configure_file(packaging/invalid.brumbesang.brumbesang.metainfo.xml.in
  invalid.brumbesang.brumbesang.metainfo.xml @ONLY)
configure_file(packaging/debian/changelog.in changelog.Debian @ONLY)
foreach(file ${CMAKE_BINARY_DIR}/changelog.Debian ${PROJECT_SOURCE_DIR}/packaging/brumbesang.1)
  get_filename_component(name ${file} NAME)
  add_custom_command(OUTPUT ${name}.gz COMMAND gzip -9n < ${file} > ${name}.gz DEPENDS ${file})
  list(APPEND gzipped ${CMAKE_BINARY_DIR}/${name}.gz)
endforeach()
add_custom_target(brumbesang_docs ALL DEPENDS ${gzipped})

include(GNUInstallDirs)
set(libdir lib/brumbesang)  # program and clips together, whatever the prefix
set(docdir ${CMAKE_INSTALL_DATADIR}/doc/brumbesang)
install(TARGETS brumbesang RUNTIME DESTINATION ${libdir})
install(FILES ${BRUMBESANG_CLIPS} DESTINATION ${libdir})
install(CODE "
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(CREATE_LINK \"../${libdir}/brumbesang\"
       \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/brumbesang\" SYMBOLIC)")
install(FILES packaging/brumbesang.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/invalid.brumbesang.brumbesang.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY packaging/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES packaging/icons/brumbesang.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_BINARY_DIR}/brumbesang.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/debian/copyright ${CMAKE_BINARY_DIR}/changelog.Debian.gz
  DESTINATION ${docdir})

# The Debian package: brumbesang_<version>-1_<architecture>.deb, with the libraries it needs
# found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "The brumbesang developers <brumbesang@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sing a Norwegian counting song aloud")
set(CPACK_PACKAGE_DESCRIPTION "Brumbesang sings a Norwegian counting song aloud, verse by verse,
for children who are learning to count. Each verse is sung from short
recorded words: verse 47, for example, is «førti-sju brumber».
.
Type the verse to start at and the verse to end at, from 1 to 999, and
press the play button: the program sings every verse from the first to
the last. Its window and all its words are in Norwegian (Bokmål).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
