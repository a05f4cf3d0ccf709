# Runs vennikplus-cli as a user would and checks its output and exit codes.
# Inputs: CLI (the tool), SRC (project root), WORK (scratch folder).
include(${CMAKE_CURRENT_LIST_DIR}/cli_checks.cmake)

function(run_cli out_var err_var rc_var)
  execute_process(COMMAND ${CLI} ${ARGN}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc
    WORKING_DIRECTORY "${WORK}")
  set(${out_var} "${out}" PARENT_SCOPE)
  set(${err_var} "${err}" PARENT_SCOPE)
  set(${rc_var} "${rc}" PARENT_SCOPE)
endfunction()

set(example "${SRC}/examples/blink.bas")

# The report: path line, then the report whose first line is the name again.
run_cli(out err rc report --factor 2 "${example}")
check("report exits 0 (got ${rc}: ${err})" rc EQUAL 0)
string(FIND "${out}" "${example}\n${example}\nTime taken " pos)
check("report starts with the path line and the file name" pos EQUAL 0)
string(FIND "${out}" "\r" cr)
check("report lines end with LF only" cr EQUAL -1)
string(REGEX MATCH "\n\n$" doubled "${out}")
string(REGEX MATCH "[^\n]\n$" single "${out}")
check("report ends with exactly one LF" NOT doubled AND single)
string(FIND "${out}" "Lines of code: 22, Total variables: 7\n" pos)
check("count line of blink.bas" NOT pos EQUAL -1)
string(FIND "${out}" "Blink  \\ ms              15 17" pos)
check("parameter row of blink.bas" NOT pos EQUAL -1)

# --name sets the file name; standard input as "-".
file(READ "${example}" source)
execute_process(COMMAND ${CLI} report --name "Clipboard" -
  INPUT_FILE "${example}" OUTPUT_VARIABLE out RESULT_VARIABLE rc)
check("report from standard input exits 0" rc EQUAL 0)
string(FIND "${out}" "Clipboard\nClipboard\nTime taken " pos)
check("--name gives the path line and the file name" pos EQUAL 0)

# --library marks names "Lib".
run_cli(out err rc report --library "iif Nothing" "${SRC}/examples/thermostat.bas")
string(REGEX MATCH "Log     \\\\ IIf +Lib +35" libmark "${out}")
check("--library marks Library names" libmark)

# JSON output.
run_cli(out err rc report --json "${example}")
check("report --json exits 0" rc EQUAL 0)
string(JSON lines GET "${out}" lines)
check("json line count" lines EQUAL 22)
string(JSON subs GET "${out}" counts subroutines)
check("json subroutine count" subs EQUAL 1)
string(JSON nrows LENGTH "${out}" rows)
check("json rows" nrows EQUAL 7)
string(JSON scope0 GET "${out}" rows 0 scope)
string(JSON name0 GET "${out}" rows 0 name)
string(JSON line0 GET "${out}" rows 0 lines 0)
check("json first row" scope0 STREQUAL "Global" AND name0 STREQUAL "count" AND line0 EQUAL 4)

# Failures: unreadable file exits 1 naming it; usage errors exit 2.
run_cli(out err rc report "${WORK}/missing.bas")
check("missing file exits 1 (got ${rc})" rc EQUAL 1)
string(FIND "${err}" "missing.bas" pos)
check("error names the file: ${err}" NOT pos EQUAL -1)
run_cli(out err rc report "${WORK}")
check("a folder exits 1" rc EQUAL 1)
run_cli(out err rc report)
check("missing FILE is a usage error (got ${rc})" rc EQUAL 2)
run_cli(out err rc report --factor abc "${example}")
check("bad --factor is a usage error (got ${rc})" rc EQUAL 2)
run_cli(out err rc frobnicate)
check("unknown subcommand is a usage error (got ${rc})" rc EQUAL 2)
run_cli(out err rc --help)
check("--help exits 0" rc EQUAL 0)
run_cli(out err rc --version)
check("--version exits 0" rc EQUAL 0)
string(FIND "${out}" "vennikplus-cli" pos)
check("--version names the tool" NOT pos EQUAL -1)

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} check(s) failed")
endif()
message(STATUS "all command-line checks passed")
