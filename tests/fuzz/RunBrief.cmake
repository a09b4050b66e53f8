# cmake -DFUZZER=... -DRUNS=N -DCORPUS=dir -DSCRATCH=dir -P RunBrief.cmake
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
execute_process(
    COMMAND ${FUZZER} ${SCRATCH} ${CORPUS} -runs=${RUNS} -seed=1 -timeout=20
            -artifact_prefix=${SCRATCH}/ -print_final_stats=1
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${FUZZER} failed (${result}); the input that failed is in ${SCRATCH}")
endif()
