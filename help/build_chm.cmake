# Compiles Zenlo.chm. Run by help/CMakeLists.txt as
#   cmake -DCHMCMD=... -DSOURCE_DIR=... -DBANNER=... -DSTAGE_DIR=... -DOUTPUT=... -P build_chm.cmake
#
# The sources are copied to a staging folder (chmcmd writes its output beside
# the project file, and the source tree stays clean), the about box's banner is
# added as images/banner.png, and chmcmd compiles the project. chmcmd reports a
# link to a missing file or picture only as a warning and still succeeds, so
# any warning or error it prints fails the build here: a help file with broken
# links is not shipped. Every page must also appear in the table of contents.

foreach(var CHMCMD SOURCE_DIR BANNER STAGE_DIR OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "build_chm.cmake: ${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${STAGE_DIR}")
file(COPY "${SOURCE_DIR}/" DESTINATION "${STAGE_DIR}")
file(COPY "${BANNER}" DESTINATION "${STAGE_DIR}/images")

# Every page is reachable from the table of contents.
file(READ "${STAGE_DIR}/Zenlo.hhc" toc)
file(GLOB pages RELATIVE "${STAGE_DIR}" "${STAGE_DIR}/*.html")
set(missing "")
foreach(page IN LISTS pages)
  string(FIND "${toc}" "value=\"${page}\"" at)
  if(at EQUAL -1)
    list(APPEND missing "${page}")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "Zenlo.hhc lacks an entry for: ${missing}")
endif()

execute_process(
  COMMAND "${CHMCMD}" Zenlo.hhp
  WORKING_DIRECTORY "${STAGE_DIR}"
  RESULT_VARIABLE rc
  OUTPUT_VARIABLE out
  ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR out MATCHES "(Warning|Error|error)[^\n]*")
  message(FATAL_ERROR "chmcmd failed (exit ${rc}):\n${out}")
endif()
if(NOT EXISTS "${STAGE_DIR}/Zenlo.chm")
  message(FATAL_ERROR "chmcmd wrote no Zenlo.chm:\n${out}")
endif()

get_filename_component(out_dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${out_dir}")
file(COPY_FILE "${STAGE_DIR}/Zenlo.chm" "${OUTPUT}")
