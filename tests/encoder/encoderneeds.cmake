# Fails when the encoder program needs a Qt or libav library to start: it starts once a file, and
# loading those costs more than the rest of its work. Run as cmake -DENCODER=... -P this file.
execute_process(COMMAND readelf -d "${ENCODER}" OUTPUT_VARIABLE dynamic RESULT_VARIABLE failed)
if(failed OR NOT dynamic MATCHES "NEEDED")
    message(FATAL_ERROR "Cannot read the libraries '${ENCODER}' needs")
endif()
string(REGEX MATCHALL "Shared library: \\[[^]]+\\]" needed "${dynamic}")
foreach(entry IN LISTS needed)
    if(entry MATCHES "\\[(libQt6|libav)")
        message(FATAL_ERROR "The encoder needs ${entry}; it must start with the C and C++ runtime only")
    endif()
endforeach()
message(STATUS "The encoder needs: ${needed}")
