# Installs the build into a fresh prefix and checks that the installed orva finds the data it
# ships (gem library, materials) in share/orvaview: its picture of an installed sample equals
# the one the build tree's orva makes beside its own data.
set(prefix ${WORK}/prefix)
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed")
endif()
foreach(file bin/orva share/orvaview/gemlib share/orvaview/material/Gold18KYellow.mtl
        share/orvaview/samples/solitaire_ring.orv share/orvaview/samples/solitaire_ring.bmp
        share/applications/orvaview.desktop share/mime/packages/orvaview.xml
        share/thumbnailers/orvaview.thumbnailer)
    if(NOT EXISTS ${prefix}/${file})
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()
# The web component goes with the rest when the build had it (node_modules/ present).
if(EXISTS ${BUILD}/bin/web/model-viewer.min.js)
    foreach(file share/orvaview/web/model-viewer.min.js share/orvaview/web/model-viewer.LICENSE)
        if(NOT EXISTS ${prefix}/${file})
            message(FATAL_ERROR "not installed: ${file}")
        endif()
    endforeach()
endif()
set(arguments --size 96x72 --zoom-all --threads 1)
execute_process(COMMAND ${prefix}/bin/orva render
                ${prefix}/share/orvaview/samples/solitaire_ring.orv -o ${WORK}/installed.png
                ${arguments} RESULT_VARIABLE installed WORKING_DIRECTORY ${WORK})
execute_process(COMMAND ${BUILD}/bin/orva render ${BUILD}/bin/samples/solitaire_ring.orv
                -o ${WORK}/built.png ${arguments} RESULT_VARIABLE built)
if(NOT installed EQUAL 0 OR NOT built EQUAL 0)
    message(FATAL_ERROR "orva render failed: installed ${installed}, built ${built}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/installed.png
                ${WORK}/built.png RESULT_VARIABLE different)
if(different)
    message(FATAL_ERROR "the installed orva draws the sample differently: its data was not found")
endif()
