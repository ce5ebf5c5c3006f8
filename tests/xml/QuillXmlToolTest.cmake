# SPDX-License-Identifier: GPL-2.0-or-later
# Runs quill-xml on a few files and checks its output and exit codes.
# cmake -DTOOL=<quill-xml> -DWORK=<scratch dir> -P QuillXmlToolTest.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(expect_run name expected_rc expected_out expected_err)
    # The output goes through a file and is compared as hex, so that CR bytes are seen.
    execute_process(COMMAND ${TOOL} ${ARGN}
                    RESULT_VARIABLE rc OUTPUT_FILE ${WORK}/${name}.out ERROR_VARIABLE err)
    file(READ ${WORK}/${name}.out out HEX)
    file(WRITE ${WORK}/${name}.expected "${expected_out}")
    file(READ ${WORK}/${name}.expected expected_out HEX)
    if(NOT rc EQUAL expected_rc)
        message(FATAL_ERROR "${name}: exit code ${rc}, expected ${expected_rc}\n${out}${err}")
    endif()
    if(NOT "${out}" STREQUAL "${expected_out}")
        message(FATAL_ERROR "${name}: output\n[${out}]\nexpected\n[${expected_out}]")
    endif()
    if(NOT "${err}" MATCHES "${expected_err}")
        message(FATAL_ERROR "${name}: error output\n[${err}]\ndoes not match [${expected_err}]")
    endif()
endfunction()

string(ASCII 13 CR)
set(NL "${CR}\n")

file(WRITE ${WORK}/good.xml "<DLG title=T>\n  <TEXT text='a'/>\n  x${NL}y\n</DLG>\n")
expect_run(good 0
           "<DLG title=\"T\">${NL}   <TEXT text=\"a\" /> x y ${NL}</DLG>${NL}" "^$"
           ${WORK}/good.xml)
expect_run(keep 0
           "<DLG title=\"T\">${NL}   <TEXT text=\"a\" /> x&#x0D;&#x0A;y ${NL}</DLG>${NL}" "^$"
           --keep-breaks ${WORK}/good.xml)

file(WRITE ${WORK}/bad.xml "<a>\n  <b>x</c>\n</a>\n")
expect_run(bad 1 "" "^error 8: Error reading end tag\\.\n.*bad\\.xml:2:7: " ${WORK}/bad.xml)

file(WRITE ${WORK}/empty.xml "  \n")
expect_run(empty 1 "" "^error 12: Error Document empty\\.\n" ${WORK}/empty.xml)
expect_run(missing 1 "" "^error 14: Error could not Open File for reading\\.\n"
           ${WORK}/does-not-exist.xml)
expect_run(usage 2 "" "usage: quill-xml")
expect_run(option 2 "" "unknown option --bogus" --bogus ${WORK}/good.xml)
