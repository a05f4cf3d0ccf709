# Shared by the command-line script tests: a fresh scratch folder and
# check(<message> <condition...>), which counts failures in `failures`.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(failures 0)

macro(check msg)
  if(NOT (${ARGN}))
    message(SEND_ERROR "FAILED: ${msg}")
    math(EXPR failures "${failures} + 1")
  endif()
endmacro()
