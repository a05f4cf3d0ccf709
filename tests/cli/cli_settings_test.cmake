# Runs vennikplus-cli from folders of its own, to check that it takes the
# Library from the settings file the desktop program there would use.
# Inputs: CLI (the tool), SRC (project root), WORK (scratch folder).
include(${CMAKE_CURRENT_LIST_DIR}/cli_checks.cmake)

set(source "${SRC}/examples/thermostat.bas")
set(libmark "Log     \\\\ IIf +Lib +35")

# A copy of the tool in `folder`, run with an environment of our choosing.
function(run_copy folder out_var rc_var err_var)
  file(MAKE_DIRECTORY "${folder}")
  file(COPY "${CLI}" DESTINATION "${folder}")
  get_filename_component(name "${CLI}" NAME)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env "XDG_DATA_HOME=${WORK}/data" "XDG_CONFIG_HOME=${WORK}/config"
                          "${folder}/${name}" ${ARGN}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc WORKING_DIRECTORY "${WORK}")
  set(${out_var} "${out}" PARENT_SCOPE)
  set(${rc_var} "${rc}" PARENT_SCOPE)
  set(${err_var} "${err}" PARENT_SCOPE)
endfunction()

function(write_settings path library)
  string(ASCII 239 187 191 bom)
  file(WRITE "${path}" "${bom}\r\n[General]\r\nLibrary = ${library}\r\n")
endfunction()

# Settings in the program folder itself.
write_settings("${WORK}/plain/VennikPlus.inf" "iif Nothing")
run_copy("${WORK}/plain" out rc err report "${source}")
check("report exits 0 (got ${rc}: ${err})" rc EQUAL 0)
string(REGEX MATCH "${libmark}" found "${out}")
check("Library from the settings beside the tool" found)

# --library replaces the stored Library, even with nothing.
run_copy("${WORK}/plain" out rc err report --library "" "${source}")
string(REGEX MATCH "${libmark}" found "${out}")
check("--library replaces the stored Library" NOT found)

# Beside the editor: the settings live in the user's data folder.
file(MAKE_DIRECTORY "${WORK}/beside" "${WORK}/portable")
file(TOUCH "${WORK}/beside/Vennik.exe")
write_settings("${WORK}/data/quarn/Vennik/VennikPlus.inf" "iif")
run_copy("${WORK}/beside" out rc err report "${source}")
string(REGEX MATCH "${libmark}" found "${out}")
check("Library from the data folder when beside the editor" found)

# Portable beside the editor: the "data" folder under the program.
file(TOUCH "${WORK}/portable/Vennik.exe" "${WORK}/portable/portable.inf")
write_settings("${WORK}/portable/data/VennikPlus.inf" "iif")
run_copy("${WORK}/portable" out rc err report "${source}")
string(REGEX MATCH "${libmark}" found "${out}")
check("Library from the portable data folder" found)

# --settings names another file; a missing one is an error.
write_settings("${WORK}/other.inf" "iif")
run_copy("${WORK}/empty" out rc err report --settings "${WORK}/other.inf" "${source}")
string(REGEX MATCH "${libmark}" found "${out}")
check("Library from --settings" found)
run_copy("${WORK}/empty" out rc err report --settings "${WORK}/absent.inf" "${source}")
check("missing --settings file exits 1 (got ${rc})" rc EQUAL 1)
string(FIND "${err}" "absent.inf" pos)
check("the error names the settings file" NOT pos EQUAL -1)

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} check(s) failed")
endif()
