# Runs a test program under Wine as windows meet users on a desktop: a window
# manager (openbox) on the display and no Wine desktop of its own, so that
# each window is a window of the display, activated and focused by the
# manager (ORVANE_WINDOW_MANAGER tells the tests so). Wine's desktop is put
# back afterwards.
#   cmake -DPROGRAM=ui_tests.exe -DFILTER=... -P run_under_wm.cmake
set(key "HKCU\\Software\\Wine\\Explorer")
execute_process(COMMAND wineserver -w)
execute_process(COMMAND wine reg delete ${key} /v Desktop /f OUTPUT_QUIET ERROR_QUIET)
execute_process(COMMAND wineserver -w)
# The manager takes the display before the first window comes: it says so on
# the root window once it manages it.
execute_process(COMMAND sh -c [[
openbox >/dev/null 2>&1 & manager=$!
tries=0
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    tries=$((tries + 1))
    if [ $tries -gt 200 ] || ! kill -0 $manager 2>/dev/null; then
        echo "the window manager did not take the display within 10 s" >&2
        kill $manager 2>/dev/null
        exit 1
    fi
    sleep 0.05
done
ORVANE_WINDOW_MANAGER=openbox wine "$0" --gtest_filter="$1"; status=$?
kill $manager
exit $status
]] ${PROGRAM} ${FILTER} RESULT_VARIABLE failed)
execute_process(COMMAND wineserver -w)
execute_process(COMMAND wine reg add ${key} /v Desktop /d shell /f OUTPUT_QUIET ERROR_QUIET)
execute_process(COMMAND wineserver -w)
if(failed)
  message(FATAL_ERROR "the tests failed under a window manager")
endif()
