# Fails when a program needs a library it must start without: it starts often, and loading more
# costs more than the rest of its work. Run as
#   cmake -DPROGRAM=<file> -DREFUSED=<regular expression of library names> -DWHY=<text> -P this file.
execute_process(COMMAND readelf -d "${PROGRAM}" OUTPUT_VARIABLE dynamic RESULT_VARIABLE failed)
if(failed OR NOT dynamic MATCHES "NEEDED")
    message(FATAL_ERROR "Cannot read the libraries '${PROGRAM}' needs")
endif()
string(REGEX MATCHALL "Shared library: \\[[^]]+\\]" needed "${dynamic}")
foreach(entry IN LISTS needed)
    if(entry MATCHES "\\[(${REFUSED})")
        message(FATAL_ERROR "'${PROGRAM}' needs ${entry}; ${WHY}")
    endif()
endforeach()
message(STATUS "'${PROGRAM}' needs: ${needed}")
