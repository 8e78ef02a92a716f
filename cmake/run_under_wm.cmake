# Runs a test program under Wine as windows meet users on a desktop: a window
# manager (openbox) on the display and no Wine desktop of its own, so that
# each window is a window of the display, activated and focused by the
# manager. Wine's desktop is put back afterwards.
#   cmake -DPROGRAM=ui_tests.exe -DFILTER=... -P run_under_wm.cmake
set(key "HKCU\\Software\\Wine\\Explorer")
execute_process(COMMAND wineserver -w)
execute_process(COMMAND wine reg delete ${key} /v Desktop /f OUTPUT_QUIET ERROR_QUIET)
execute_process(COMMAND wineserver -w)
# The manager takes the display before the first window comes.
execute_process(COMMAND sh -c [[
openbox >/dev/null 2>&1 & manager=$!
sleep 1
wine "$0" --gtest_filter="$1"; status=$?
kill $manager
exit $status
]] ${PROGRAM} ${FILTER} RESULT_VARIABLE failed)
execute_process(COMMAND wineserver -w)
execute_process(COMMAND wine reg add ${key} /v Desktop /d shell /f OUTPUT_QUIET ERROR_QUIET)
execute_process(COMMAND wineserver -w)
if(failed)
  message(FATAL_ERROR "the tests failed under a window manager")
endif()
