# Runs a test program under Wine with the display at another DPI, which Wine
# reads from the registry when a program starts, and puts the default back.
#   cmake -DDPI=144 -DPROGRAM=ui_tests.exe -DFILTER=... -P run_at_dpi.cmake
set(key "HKCU\\Control Panel\\Desktop")
# A running Wine keeps what it read: every program of the prefix ends first.
execute_process(COMMAND wineserver -w)
execute_process(COMMAND wine reg add ${key} /v LogPixels /t REG_DWORD /d ${DPI} /f
                OUTPUT_QUIET ERROR_QUIET RESULT_VARIABLE set_failed)
execute_process(COMMAND wineserver -w)
if(set_failed)
  message(FATAL_ERROR "could not set the display's DPI to ${DPI}")
endif()
set(ENV{ORVANE_DISPLAY_DPI} ${DPI})
execute_process(COMMAND wine ${PROGRAM} --gtest_filter=${FILTER} RESULT_VARIABLE failed)
execute_process(COMMAND wineserver -w)
execute_process(COMMAND wine reg delete ${key} /v LogPixels /f OUTPUT_QUIET ERROR_QUIET)
execute_process(COMMAND wineserver -w)
if(failed)
  message(FATAL_ERROR "the tests failed at ${DPI} DPI")
endif()
