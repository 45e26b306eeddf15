# Runs a picture generator into a scratch file and checks it reproduces the committed file exactly.
# Called with -DPYTHON=... -DSCRIPT=... -DCOMMITTED=... -DSCRATCH=...
execute_process(COMMAND ${PYTHON} ${SCRIPT} --out ${SCRATCH} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${SCRIPT} failed: ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SCRATCH} ${COMMITTED}
                RESULT_VARIABLE differs)
file(REMOVE ${SCRATCH})
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "${SCRIPT} no longer reproduces ${COMMITTED}; run it and commit the output")
endif()
