# Checks the direction of use between the source folders, by their includes:
#   cmake -DSOURCE_DIR=<folder holding src/> -P check_layers.cmake
#
# The layers, bottom up: platform/ (services, their Win32 implementations,
# window helpers), common/ (the portable words every part shares), one folder
# per part of the program, app/ (the application object and main.cpp). A file
# may include headers of its own layer and of the layers below. A part may
# include another part's portable headers, never its windows, and two parts
# never use each other both ways. Portable files (everything but window files)
# include no Windows header, so that the rules build natively.
cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "Pass -DSOURCE_DIR=<the folder that holds src/>")
endif()
set(src "${SOURCE_DIR}/src")

set(layer_platform 0)
set(layer_common 1)
set(parts clock settings alarms countdowns stopwatches elapsed plugin_loader)
foreach(part IN LISTS parts)
  set(layer_${part} 2)
endforeach()
set(layer_app 3)

# Window files may see <windows.h>: the window helpers, the Win32
# implementations, the top, and each part's *_window and *_dialog files.
list(JOIN parts "|" parts_pattern)
function(is_window_file path out)
  if(path MATCHES "^(platform/ui|platform/win32|app)/" OR path MATCHES "^(${parts_pattern})/.*_(window|dialog)\\.(hpp|cpp)$")
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

set(windows_headers windows commctrl commdlg shellapi shlobj shlwapi mmsystem objbase windowsx
    winuser wingdi winbase psapi dbghelp uxtheme dwmapi)
list(JOIN windows_headers "|" windows_pattern)

set(faults "")
set(part_uses "")
file(GLOB_RECURSE files RELATIVE "${src}" "${src}/*.hpp" "${src}/*.cpp" "${src}/*.h")
foreach(file IN LISTS files)
  string(REGEX MATCH "^[^/]+" folder "${file}")
  if(NOT DEFINED layer_${folder})
    list(APPEND faults "${file}: src/${folder} has no layer (name it in cmake/check_layers.cmake)")
    continue()
  endif()
  is_window_file("${file}" window_file)
  file(STRINGS "${src}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS includes)
    if(line MATCHES "[<\"]([^>\"]+)[>\"]")
      set(included "${CMAKE_MATCH_1}")
    else()
      continue()
    endif()
    string(TOLOWER "${included}" lower)
    if(NOT window_file AND lower MATCHES "^(${windows_pattern})\\.h$")
      list(APPEND faults "${file}: a portable file includes <${included}>")
    endif()
    if(NOT EXISTS "${src}/${included}")
      continue()  # a system or generated header
    endif()
    string(REGEX MATCH "^[^/]+" target "${included}")
    if(NOT DEFINED layer_${target})
      continue()  # reported with the file itself
    endif()
    if(layer_${target} GREATER layer_${folder})
      list(APPEND faults "${file}: includes ${included}, from a layer above its own")
    endif()
    is_window_file("${included}" included_window)
    if(NOT window_file AND included_window)
      list(APPEND faults "${file}: a portable file includes the window file ${included}")
    endif()
    if(layer_${folder} EQUAL 2 AND layer_${target} EQUAL 2 AND NOT folder STREQUAL target)
      if(included_window)
        list(APPEND faults "${file}: includes ${included}, another part's window; reach it through a host")
      endif()
      list(APPEND part_uses "${folder}>${target}")
    endif()
  endforeach()
endforeach()

list(REMOVE_DUPLICATES part_uses)
foreach(use IN LISTS part_uses)
  string(REPLACE ">" ";" pair "${use}")
  list(GET pair 0 user)
  list(GET pair 1 used)
  if("${used}>${user}" IN_LIST part_uses AND user STRLESS used)
    list(APPEND faults "src/${user} and src/${used} use each other")
  endif()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "The layers are crossed:\n  ${text}")
endif()
list(LENGTH files count)
message(STATUS "Layers hold: ${count} files, each including only its own layer and those below")
