# Shows that cmake/wine_slot.sh gives each test the prefix and display of
# the slot ctest gave it, and a timed slot its priority, its own session and
# Wine's server started in that session; and that without a slot it changes
# nothing:
#   cmake -DWORK_DIR=<scratch folder> -P wine_slot_test.cmake
cmake_minimum_required(VERSION 3.25)

set(launcher "${CMAKE_CURRENT_LIST_DIR}/wine_slot.sh")
set(slots "${WORK_DIR}/wine_slot_test")
file(REMOVE_RECURSE "${slots}")
file(MAKE_DIRECTORY "${slots}/win32_0/prefix" "${slots}/win32_2/prefix" "${slots}/bin")
file(WRITE "${slots}/win32_0/display" ":41\n")
file(WRITE "${slots}/win32_2/display" ":42\n")
file(WRITE "${slots}/win32_2/nice" "-3\n")
# A stand-in for Wine's server, which notes how it was started.
file(WRITE "${slots}/bin/wineserver" "#!/bin/sh\necho \"$*\" >\"${slots}/server-started\"\n")
file(CHMOD "${slots}/bin/wineserver" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

# What the command run by the launcher sees: its prefix, display, niceness
# and session.
set(report [=[echo "$WINEPREFIX|$DISPLAY|$(nice)|$(cut -d' ' -f6 /proc/$$/stat)"]=])
function(launch result)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env WINEPREFIX=/given DISPLAY=:9 "PATH=${slots}/bin:$ENV{PATH}" ${ARGN}
                          sh "${launcher}" sh -c "${report}"
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(${result} "${out}" PARENT_SCOPE)
  set(${result}_error "${err}" PARENT_SCOPE)
  set(${result}_failed "${failed}" PARENT_SCOPE)
endfunction()
function(expect what got wanted)
  if(NOT got STREQUAL wanted)
    message(FATAL_ERROR "${what}: got \"${got}\", wanted \"${wanted}\"")
  endif()
endfunction()

# No slot, or a resource that is not a Wine slot: the command as it is.
launch(plain)
string(REPLACE "|" ";" plain_fields "${plain}")
list(GET plain_fields 2 niceness)
list(GET plain_fields 3 session)
expect("without a slot" "${plain}" "/given|:9|${niceness}|${session}")
launch(other ORVANE_WINE_SLOTS=${slots} CTEST_RESOURCE_GROUP_0=gpus CTEST_RESOURCE_GROUP_0_GPUS=id:win32_0,slots:1)
expect("another resource" "${other}" "${plain}")

# A slot: its prefix and display, nothing else.
launch(slot ORVANE_WINE_SLOTS=${slots} CTEST_RESOURCE_GROUP_0=wine CTEST_RESOURCE_GROUP_0_WINE=id:win32_0,slots:1)
expect("a window slot" "${slot}" "${slots}/win32_0/prefix|:41|${niceness}|${session}")
if(EXISTS "${slots}/server-started")
  message(FATAL_ERROR "a window slot started Wine's server")
endif()

# A slot that is not there fails, and says where it looked.
launch(missing ORVANE_WINE_SLOTS=${slots} CTEST_RESOURCE_GROUP_0=wine CTEST_RESOURCE_GROUP_0_WINE=id:win64_0,slots:1)
if(NOT missing_failed OR NOT missing_error MATCHES "no prefix or display in ${slots}/win64_0")
  message(FATAL_ERROR "a missing slot: exit ${missing_failed}, \"${missing_error}\"")
endif()

# The timed slot: a session of its own at its niceness (both take root),
# and Wine's server started in the foreground, so in that session.
launch(timed ORVANE_WINE_SLOTS=${slots} CTEST_RESOURCE_GROUP_0=wine_timed
       CTEST_RESOURCE_GROUP_0_WINE_TIMED=id:win32_2,slots:1)
string(REPLACE "|" ";" timed_fields "${timed}")
list(GET timed_fields 0 1 place)
expect("the timed slot's prefix and display" "${place}" "${slots}/win32_2/prefix;:42")
execute_process(COMMAND id -u OUTPUT_VARIABLE user OUTPUT_STRIP_TRAILING_WHITESPACE)
list(GET timed_fields 2 timed_niceness)
list(GET timed_fields 3 timed_session)
if(user STREQUAL "0")
  math(EXPR wanted "${niceness} - 3")
  expect("the timed slot's niceness" "${timed_niceness}" "${wanted}")
  if(timed_session STREQUAL session)
    message(FATAL_ERROR "the timed slot ran in the caller's session ${session}")
  endif()
else()
  expect("the timed slot's niceness, without root" "${timed_niceness}" "${niceness}")
endif()
foreach(attempt RANGE 50)
  if(EXISTS "${slots}/server-started")
    break()
  endif()
  execute_process(COMMAND sleep 0.1)
endforeach()
if(NOT EXISTS "${slots}/server-started")
  message(FATAL_ERROR "the timed slot did not start Wine's server")
endif()
file(STRINGS "${slots}/server-started" server_arguments)
expect("Wine's server" "${server_arguments}" "--foreground")
file(REMOVE_RECURSE "${slots}")
