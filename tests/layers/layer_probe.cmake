# Compiles layer_probe.cpp with the include directories of one layer target and checks the result.
#   -DCOMPILER=...  -DINCLUDES=dir|dir|...  -DSOURCE=layer_probe.cpp  -DHEADER=export/export_run.h
#   -DEXPECT=visible|hidden
# hidden passes only when the compiler stops because it cannot find HEADER, so a failure for any
# other reason (a broken probe, a missing library header) does not count as the layering holding.
string(REPLACE "|" ";" _includes "${INCLUDES}")
set(_flags)
foreach(dir ${_includes})
  list(APPEND _flags "-I${dir}")
endforeach()
execute_process(
  COMMAND ${COMPILER} -std=c++20 -fsyntax-only ${_flags} "-DGLYPHMILL_PROBE_HEADER=\"${HEADER}\"" ${SOURCE}
  RESULT_VARIABLE _result
  OUTPUT_VARIABLE _out
  ERROR_VARIABLE _out)
if(EXPECT STREQUAL "visible")
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "${HEADER} should compile with these include directories:\n${_out}")
  endif()
elseif(EXPECT STREQUAL "hidden")
  if(_result EQUAL 0)
    message(FATAL_ERROR "${HEADER} should not be found with these include directories: ${_includes}")
  endif()
  string(FIND "${_out}" "${HEADER}: No such file or directory" _at)
  if(_at EQUAL -1)
    message(FATAL_ERROR "the probe failed for another reason than a missing ${HEADER}:\n${_out}")
  endif()
else()
  message(FATAL_ERROR "EXPECT must be visible or hidden")
endif()
