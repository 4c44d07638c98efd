# Starts (MODE=start) or stops (MODE=stop) a persistent wineserver for the tests of a Windows
# build, so that every test's Wine start takes a fraction of a second instead of several.
#   WINESERVER: the wineserver program; EMULATOR: wine. The Wine variables come from the test
#   environment. Output goes to files: a pipe that a server or service kept open would hold the
#   test until it ends.
set(quiet OUTPUT_FILE /dev/null ERROR_FILE /dev/null)
if(MODE STREQUAL "start")
  # A new prefix is created on the first start, which restarts the server: create it first and
  # wait for that server to end, then start the persistent one, then Wine's own services. A server
  # left running by an earlier, interrupted run is stopped first, or the wait would never end.
  execute_process(COMMAND "${WINESERVER}" -k ${quiet})
  execute_process(COMMAND "${EMULATOR}" cmd /c exit ${quiet})
  execute_process(COMMAND "${WINESERVER}" -w ${quiet})
  execute_process(COMMAND "${WINESERVER}" -p ${quiet})
  execute_process(COMMAND "${EMULATOR}" cmd /c exit ${quiet})
else()
  execute_process(COMMAND "${WINESERVER}" -k ${quiet})
endif()
