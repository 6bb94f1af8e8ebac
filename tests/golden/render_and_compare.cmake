# Runs one golden test: orva renders the sample as `orva render` users get it, then
# golden_compare checks the picture against the golden in the repository.
# Wants ORVA, COMPARE, SCENE, MODE, VIEW, GEMLIB, MATERIALS, GOLDEN, ACTUAL, CHANNEL_TOLERANCE
# and OUTLIER_SHARE (both 0: byte for byte).
get_filename_component(_actual_dir "${ACTUAL}" DIRECTORY)
file(MAKE_DIRECTORY "${_actual_dir}")
execute_process(
    COMMAND "${ORVA}" render "${SCENE}" -o "${ACTUAL}" --size 400x300 --zoom-all
            --mode ${MODE} --view ${VIEW} --gemlib "${GEMLIB}" --materials "${MATERIALS}"
    RESULT_VARIABLE _render)
if(NOT _render EQUAL 0)
    message(FATAL_ERROR "orva render of ${SCENE} in display mode ${MODE} failed (${_render})")
endif()
execute_process(COMMAND "${COMPARE}" "${GOLDEN}" "${ACTUAL}" ${CHANNEL_TOLERANCE}
                        ${OUTLIER_SHARE}
                RESULT_VARIABLE _compare)
if(NOT _compare EQUAL 0)
    message(FATAL_ERROR "${GOLDEN}: the picture does not match (see above)")
endif()
