# Starts (MODE=start) or stops (MODE=stop) a persistent wineserver for the tests of a Windows
# build, so that every test's Wine start takes a fraction of a second instead of several.
#   WINESERVER: the wineserver program; EMULATOR: wine. The Wine variables come from the test
#   environment. The server's output goes to files: a pipe it kept open would hold the test.
set(quiet OUTPUT_FILE /dev/null ERROR_FILE /dev/null)
if(MODE STREQUAL "start")
  execute_process(COMMAND "${WINESERVER}" -p ${quiet})
  # The first start of a new prefix creates it, which takes a while: do it here, once.
  execute_process(COMMAND "${EMULATOR}" cmd /c exit ${quiet})
else()
  execute_process(COMMAND "${WINESERVER}" -k ${quiet})
endif()
