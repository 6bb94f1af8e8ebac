# cmake -DNODE_MODULES=DIR -DNOTICES=FILE -DOUTPUT=FILE -P licence.cmake
# Writes the licence file of model-viewer.min.js: what the one file holds, and the licence of
# each part as its package in node_modules/ states it. The parts' versions are those model-viewer
# was built with, not necessarily those npm installed beside it, so only model-viewer's is named.
file(READ ${NODE_MODULES}/@google/model-viewer/package.json json)
string(JSON version GET "${json}" version)

set(text "model-viewer.min.js is the script of @google/model-viewer ${version} as its authors
build it. Besides model-viewer (Apache License 2.0) the one file holds three.js (MIT License)
with the copies of fflate and of meshoptimizer's decoder that three.js ships (MIT License),
lit with lit-html, lit-element and @lit/reactive-element (BSD 3-Clause License) and
gainmap-js's decoder (MIT License). Their licences follow.\n")

# Appends a heading and the text of FILE.
function(section title file)
    file(READ ${file} licence)
    # Blank lines around the text go; the indentation of its first line stays.
    string(REGEX REPLACE "^\n+" "" licence "${licence}")
    string(REGEX REPLACE "[ \t\r\n]+$" "" licence "${licence}")
    set(text "${text}\n\n==== ${title} ====\n\n${licence}\n" PARENT_SCOPE)
endfunction()

section("@google/model-viewer: Apache License 2.0" ${NODE_MODULES}/@google/model-viewer/LICENSE)
section("three.js: MIT License" ${NODE_MODULES}/three/LICENSE)
section("fflate and meshoptimizer's decoder, as three.js ships them: MIT License" ${NOTICES})
section("lit: BSD 3-Clause License" ${NODE_MODULES}/lit/LICENSE)
section("@monogrid/gainmap-js: MIT License" ${NODE_MODULES}/@monogrid/gainmap-js/LICENSE)
file(WRITE ${OUTPUT} "${text}")
