# SPDX-License-Identifier: GPL-2.0-or-later
# Runs the tessera program with ARGS ("|"-separated) and checks its exit status, that
# standard output equals the file EXPECTED_OUTPUT (when given) byte for byte, and that
# standard error equals EXPECTED_STDERR (when given) or, on failure, is not empty.
string(REPLACE "|" ";" args "${ARGS}")
execute_process(COMMAND ${EXE} ${args}
                OUTPUT_VARIABLE output
                ERROR_VARIABLE errors
                RESULT_VARIABLE status)
if(NOT status EQUAL EXPECTED_STATUS)
    message(FATAL_ERROR "tessera ${args}: exit status ${status}, expected ${EXPECTED_STATUS}\n"
                        "stderr: ${errors}")
endif()
if(EXPECTED_OUTPUT)
    file(READ ${EXPECTED_OUTPUT} expected)
    if(NOT output STREQUAL expected)
        file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/tessera-actual.txt "${output}")
        message(FATAL_ERROR "tessera ${args}: output differs from ${EXPECTED_OUTPUT}; "
                            "written to ${CMAKE_CURRENT_BINARY_DIR}/tessera-actual.txt")
    endif()
endif()
if(EXPECTED_STDERR)
    string(REPLACE "\\n" "\n" expected_errors "${EXPECTED_STDERR}")
    if(NOT errors STREQUAL expected_errors)
        message(FATAL_ERROR "tessera ${args}: stderr '${errors}', expected '${expected_errors}'")
    endif()
elseif(NOT status EQUAL 0 AND errors STREQUAL "")
    message(FATAL_ERROR "tessera ${args}: failed without a message on stderr")
endif()
