# The Windows program: the winmm sound call, the Win32 window with its icon, manifest and version
# record, and the folder that ships it (brumbesang/: the executable, its clips, LESMEG.txt and the
# notices of what the executable carries), also packed as brumbesang-win32.zip and made into an
# installer. Included by the main CMakeLists.txt when building for Windows.
enable_language(RC)

# Windows 7 is the oldest system the program runs on; its API is all the program uses.
set(BRUMBESANG_WIN32_DEFINITIONS WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

add_library(brumbesang_platform STATIC
  src/platform/sound_winmm.cpp
  src/platform/system_win32.cpp)
target_include_directories(brumbesang_platform PUBLIC src)
target_compile_definitions(brumbesang_platform PRIVATE ${BRUMBESANG_WIN32_DEFINITIONS})
target_link_libraries(brumbesang_platform PUBLIC winmm)

# The icon, the manifest and the version record, compiled by windres, with the project's version
# (1.00 is 1,0,0,0 in the version record's numbers).
math(EXPR minor "${PROJECT_VERSION_MINOR}")
set(BRUMBESANG_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${minor},0,0")
set(BRUMBESANG_VERSION_DOTS "${PROJECT_VERSION_MAJOR}.${minor}.0.0")
configure_file(packaging/windows/brumbesang.rc.in brumbesang.rc @ONLY)
configure_file(packaging/windows/brumbesang.exe.manifest.in brumbesang.exe.manifest @ONLY)
add_library(brumbesang_resources OBJECT ${CMAKE_BINARY_DIR}/brumbesang.rc)
set_property(SOURCE ${CMAKE_BINARY_DIR}/brumbesang.rc APPEND PROPERTY OBJECT_DEPENDS
  ${CMAKE_BINARY_DIR}/brumbesang.exe.manifest ${CMAKE_SOURCE_DIR}/packaging/windows/brumbesang.ico)
target_include_directories(brumbesang_resources PRIVATE ${CMAKE_BINARY_DIR} packaging/windows)

set(BRUMBESANG_PACKAGE_DIR ${CMAKE_BINARY_DIR}/brumbesang)
# Its readme, in Norwegian, with Windows' line endings for Notepad.
configure_file(packaging/windows/LESMEG.txt.in ${BRUMBESANG_PACKAGE_DIR}/LESMEG.txt @ONLY
  NEWLINE_STYLE CRLF)
configure_file(packaging/windows/THIRD-PARTY-NOTICES.txt ${BRUMBESANG_PACKAGE_DIR} COPYONLY)

add_executable(brumbesang WIN32 src/window/win32/main.cpp $<TARGET_OBJECTS:brumbesang_resources>)
set_target_properties(brumbesang PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${BRUMBESANG_PACKAGE_DIR})
target_compile_definitions(brumbesang PRIVATE ${BRUMBESANG_WIN32_DEFINITIONS})
# wWinMain; and the shipped executable carries no debug information, except in a Debug build.
target_link_options(brumbesang PRIVATE -municode $<$<NOT:$<CONFIG:Debug>>:-s>)
target_link_libraries(brumbesang PRIVATE brumbesang_core brumbesang_platform comctl32)

# The clips beside the executable, and the zip of that folder; the installer's list of the clips
# (wixl takes the files by paths relative to the build folder).
set(BRUMBESANG_PACKAGE_FILES brumbesang/brumbesang.exe brumbesang/LESMEG.txt
  brumbesang/THIRD-PARTY-NOTICES.txt)
set(BRUMBESANG_PACKAGED_CLIPS)
set(BRUMBESANG_MSI_CLIPS)
foreach(clip IN LISTS BRUMBESANG_CLIPS)
  get_filename_component(name ${clip} NAME)
  add_custom_command(OUTPUT ${BRUMBESANG_PACKAGE_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${clip} ${BRUMBESANG_PACKAGE_DIR}/${name}
    DEPENDS ${clip})
  list(APPEND BRUMBESANG_PACKAGED_CLIPS ${BRUMBESANG_PACKAGE_DIR}/${name})
  list(APPEND BRUMBESANG_PACKAGE_FILES brumbesang/${name})
  string(APPEND BRUMBESANG_MSI_CLIPS
    "        <File Id=\"clip_${name}\" Source=\"brumbesang/${name}\"/>\n")
endforeach()
# One target copies the clips, and the zip and the installer wait for it: were the copies left to
# both, a parallel build would copy a clip twice at once, and pack it while it is being replaced.
add_custom_target(brumbesang_clips DEPENDS ${BRUMBESANG_PACKAGED_CLIPS})
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/brumbesang-win32.zip
  COMMAND ${CMAKE_COMMAND} -E rm -f brumbesang-win32.zip
  COMMAND ${CMAKE_COMMAND} -E tar cf brumbesang-win32.zip --format=zip ${BRUMBESANG_PACKAGE_FILES}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  DEPENDS brumbesang ${BRUMBESANG_PACKAGED_CLIPS}
  COMMENT "Packing brumbesang-win32.zip")
add_custom_target(brumbesang_zip ALL DEPENDS ${CMAKE_BINARY_DIR}/brumbesang-win32.zip)
add_dependencies(brumbesang_zip brumbesang_clips)

# Not shipped: the end-to-end test's helper that lists the window's children (tests/windows/).
add_executable(children tests/windows/children.cpp)
target_link_libraries(children PRIVATE ntdll)

# The installer (an MSI, made by wixl from msitools) of the same folder, beside the zip:
# brumbesang-VERSION-win32.msi, or -win64.msi from the x86_64 build.
find_program(WIXL wixl)
if(WIXL)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(BRUMBESANG_MSI_ARCH win64)
    set(wixl_arch x64)
  else()
    set(BRUMBESANG_MSI_ARCH win32)
    set(wixl_arch x86)
  endif()
  string(UUID BRUMBESANG_MSI_PRODUCT_CODE NAMESPACE D100F9BF-496B-4E26-BFC6-E7E5C16CCA74
    NAME "brumbesang ${PROJECT_VERSION} ${BRUMBESANG_MSI_ARCH}" TYPE SHA1 UPPER)
  configure_file(packaging/windows/brumbesang.ico brumbesang.ico COPYONLY)
  configure_file(packaging/windows/brumbesang.wxs.in brumbesang.wxs @ONLY)
  set(msi brumbesang-${PROJECT_VERSION}-${BRUMBESANG_MSI_ARCH}.msi)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${msi}
    COMMAND ${WIXL} -a ${wixl_arch} -o ${msi} brumbesang.wxs
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DEPENDS brumbesang ${BRUMBESANG_PACKAGED_CLIPS} ${CMAKE_BINARY_DIR}/brumbesang.wxs
      ${BRUMBESANG_PACKAGE_DIR}/LESMEG.txt
    COMMENT "Building the installer ${msi}")
  add_custom_target(brumbesang_msi ALL DEPENDS ${CMAKE_BINARY_DIR}/${msi})
  add_dependencies(brumbesang_msi brumbesang_clips)
else()
  message(WARNING "wixl (Debian's package wixl, from msitools) not found: no installer is built")
endif()
