# Runs the end-to-end driver with its standard error going to a file that the driver reads back:
# under Wine, the traces of the programs the driver starts land there too.
#
#   cmake -DEMULATOR=wine|"" -DDRIVER=EXE -DFARTHOM=EXE -DTRACE=FILE [-DFLAGS=--gtest_filter=...]
#         -P run_e2e.cmake
cmake_minimum_required(VERSION 3.25)

if(EMULATOR)
  if("$ENV{DISPLAY}" STREQUAL "")
    message(FATAL_ERROR "The end-to-end tests show real dialogs and need a display: run them "
                        "under xvfb-run (scripts/run-tests does).")
  endif()
  # Wine sees the build machine's file system as drive Z:.
  string(REPLACE "/" "\\" farthom "Z:${FARTHOM}")
  string(REPLACE "/" "\\" trace "Z:${TRACE}")
else()
  file(TO_NATIVE_PATH "${FARTHOM}" farthom)
  file(TO_NATIVE_PATH "${TRACE}" trace)
endif()

file(WRITE "${TRACE}" "")
execute_process(
  COMMAND ${EMULATOR} "${DRIVER}" "--farthom=${farthom}" "--trace=${trace}" ${FLAGS}
  ERROR_FILE "${TRACE}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(STRINGS "${TRACE}" lines)
  list(LENGTH lines count)
  math(EXPR first "${count} - 20")
  if(first LESS 0)
    set(first 0)
  endif()
  list(SUBLIST lines ${first} 20 last)
  list(JOIN last "\n" last)
  message(FATAL_ERROR "The driver failed (${status}). The last messages from Wine and the "
                      "programs (all of them in ${TRACE}):\n${last}")
endif()
