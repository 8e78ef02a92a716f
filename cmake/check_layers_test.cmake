# Shows that check_layers.cmake catches each kind of crossing, on a small tree
# written for the purpose:
#   cmake -DWORK_DIR=<scratch folder> -P check_layers_test.cmake
cmake_minimum_required(VERSION 3.25)

set(tree "${WORK_DIR}/layers_tree")
file(REMOVE_RECURSE "${tree}")
function(source path)
  list(JOIN ARGN "\n" text)
  file(WRITE "${tree}/src/${path}" "${text}\n")
endfunction()

source(platform/clock.hpp "#pragma once")
source(platform/ui/window.cpp "#include <windows.h>" "#include \"common/user_error.hpp\"")
source(common/user_error.hpp "#pragma once" "#include \"platform/clock.hpp\"")
source(common/calendar.cpp "#include <Windows.h>")
source(alarms/alarm_table.hpp "#pragma once" "#include \"clock/dial_geometry.hpp\"")
source(alarms/alarms_window.cpp "#include \"clock/main_window.hpp\"")
source(clock/dial_geometry.hpp "#pragma once")
source(clock/main_window.hpp "#pragma once" "#include <windows.h>" "#include \"alarms/alarm_table.hpp\"")
source(settings/options_rules.cpp "#include \"platform/ui/controls.hpp\"")
source(platform/ui/controls.hpp "#pragma once")
source(app/main.cpp "#include \"clock/main_window.hpp\"")
source(gadgets/gadget.hpp "#pragma once")

execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -P ${CMAKE_CURRENT_LIST_DIR}/check_layers.cmake
                RESULT_VARIABLE result ERROR_VARIABLE report OUTPUT_VARIABLE report_out)
string(APPEND report "${report_out}")
if(result EQUAL 0)
  message(FATAL_ERROR "A crossed tree passed the check:\n${report}")
endif()
set(expected
    "platform/ui/window.cpp: includes common/user_error.hpp, from a layer above its own"
    "common/calendar.cpp: a portable file includes <Windows.h>"
    "settings/options_rules.cpp: a portable file includes the window file platform/ui/controls.hpp"
    "alarms/alarms_window.cpp: includes clock/main_window.hpp, another part's window"
    "src/alarms and src/clock use each other"
    "gadgets/gadget.hpp: src/gadgets has no layer")
foreach(fault IN LISTS expected)
  string(FIND "${report}" "${fault}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "The check missed \"${fault}\":\n${report}")
  endif()
endforeach()
foreach(sound "common/user_error.hpp: " "app/main.cpp: " "clock/main_window.hpp: a portable")
  string(FIND "${report}" "${sound}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "The check blamed a sound include (${sound}):\n${report}")
  endif()
endforeach()
file(REMOVE_RECURSE "${tree}")
