# Fails unless the library's dynamic symbol table defines exactly one symbol of
# its own, BrelithEntry. Run as: cmake -DLIBRARY=<file> -DNM=<nm> -P CheckExports.cmake
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(STRIP "${symbols}" symbols)
string(REPLACE "\n" ";" lines "${symbols}")
list(LENGTH lines count)
if(NOT count EQUAL 1 OR NOT symbols MATCHES " T BrelithEntry$")
  message(FATAL_ERROR "expected BrelithEntry as the only defined symbol, found:\n${symbols}")
endif()
message(STATUS "only export: ${symbols}")
