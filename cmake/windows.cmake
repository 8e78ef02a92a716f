# The Windows program, its portable layout and its ZIP.


# Everything but the entry point, so that the window tests link the same code.
add_library(orvane_windows STATIC
  src/app/application.cpp
  src/platform/ui/form.cpp
  src/clock/main_window.cpp
  src/alarms/alarm_dialog.cpp
  src/alarms/alarms_window.cpp
  src/countdowns/countdown_dialog.cpp
  src/countdowns/countdowns_window.cpp
  src/settings/options_dialog.cpp
  src/stopwatches/stopwatches_window.cpp
  src/elapsed/elapsed_window.cpp
  src/platform/ui/controls.cpp
  src/platform/ui/picture.cpp
  src/platform/ui/tabs.cpp
  src/platform/ui/window.cpp
  src/platform/win32/media.cpp
  src/platform/win32/power.cpp
  src/platform/win32/services.cpp
  src/platform/win32/running_copy.cpp
  src/platform/win32/long_paths.cpp
  src/platform/win32/file_bytes.cpp
  src/platform/win32/system_library.cpp
  src/platform/win32/file_chooser.cpp
  src/platform/win32/plugin_services.cpp
  src/platform/win32/guarded_call.cpp
)
target_link_libraries(orvane_windows PUBLIC orvane_rules comctl32 comdlg32 shell32 gdi32 user32 winmm ole32)
target_compile_definitions(orvane_windows PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                           _WIN32_WINNT=0x0601 WINVER=0x0601)
target_compile_options(orvane_windows PRIVATE ${ORVANE_WARNINGS})
target_compile_definitions(orvane_rules PUBLIC UNICODE _UNICODE NOMINMAX)

# The resources: icon, built-in pictures, manifest and version.
set(ORVANE_RESOURCES ${CMAKE_SOURCE_DIR}/res/orvane.rc)
configure_file(res/version.h.in ${CMAKE_BINARY_DIR}/generated/orvane_version.h @ONLY)
set_source_files_properties(${ORVANE_RESOURCES} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/orvane.ico;${CMAKE_SOURCE_DIR}/res/HORLOGE.BMP;${CMAKE_SOURCE_DIR}/res/bell.bmp;${CMAKE_SOURCE_DIR}/res/disk.bmp;${CMAKE_SOURCE_DIR}/res/restart.bmp;${CMAKE_SOURCE_DIR}/res/orvane.manifest")
add_library(orvane_resources OBJECT ${ORVANE_RESOURCES})
target_include_directories(orvane_resources PRIVATE ${CMAKE_BINARY_DIR}/generated)

add_executable(orvane WIN32 src/app/main.cpp $<TARGET_OBJECTS:orvane_resources>)
target_link_libraries(orvane PRIVATE orvane_windows)
target_compile_options(orvane PRIVATE ${ORVANE_WARNINGS})
# A bare Windows has no MinGW runtime: carry it inside the executable.
# Sections aligned to whole pages in the file let Wine map the program from
# the file instead of copying all of it into memory: only the pages used stay.
target_link_options(orvane PRIVATE -municode -static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>
  -Wl,--file-alignment,4096)

install(TARGETS orvane RUNTIME DESTINATION .)
install(FILES res/HORLOGE.BMP res/Aidez-moi.doc res/Aidez-moi.html DESTINATION .)
install(DIRECTORY DESTINATION plugins)

# The plug-in kit: the guide, the contract header and the sample, built with
# the same toolchain and for the same size of pointer as the program. It sits
# beside the plugins folder, which the ZIP leaves empty.
add_subdirectory(plugins/exemple)
set_target_properties(Exemple PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/plugin-kit/exemple)
target_compile_options(Exemple PRIVATE ${ORVANE_WARNINGS})
# Windows users read the guide in Notepad: CRLF line ends.
configure_file(plugins/LISEZMOI.txt ${CMAKE_BINARY_DIR}/plugin-kit/LISEZMOI.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/plugin-kit/LISEZMOI.txt plugins/orvane_plugin.h DESTINATION plugin-kit)
install(FILES plugins/exemple/exemple.c plugins/exemple/CMakeLists.txt DESTINATION plugin-kit/exemple)
install(TARGETS Exemple LIBRARY DESTINATION plugin-kit/exemple)

# The build also leaves the ZIP of the portable layout in build/<preset>/package,
# with its SHA-256 beside it. Our own packing rather than CPack's: the same
# commit must give the same bytes, and the ZIP's entry times, order and
# permissions have to be fixed for that (see cmake/pack_zip.py).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(ORVANE_SYSTEM_NAME win64)
else()
  set(ORVANE_SYSTEM_NAME win32)
endif()
set(ORVANE_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
set(ORVANE_ZIP ${ORVANE_PACKAGE_DIR}/Orvane-${PROJECT_VERSION}-${ORVANE_SYSTEM_NAME}.zip)
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  add_custom_target(portable_zip ALL
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${ORVANE_PACKAGE_DIR}/Orvane
    COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${ORVANE_PACKAGE_DIR}/Orvane
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/cmake/pack_zip.py ${ORVANE_PACKAGE_DIR}/Orvane
            ${ORVANE_ZIP} ${CMAKE_SOURCE_DIR}
    DEPENDS orvane Exemple
    BYPRODUCTS ${ORVANE_ZIP} ${ORVANE_ZIP}.sha256
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    COMMENT "Packing the portable ZIP"
    VERBATIM)
else()
  message(STATUS "No Python 3: the build leaves no ZIP (cmake --install gives the portable folder)")
endif()
