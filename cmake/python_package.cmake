# The Debian package python3-gwbuilders, the second package of the same
# build (component "python", installed by cmake/python_install.cmake): the
# Python package in /usr/lib/python3/dist-packages, with its own copyright
# file and changelog, as Debian names and places a Python 3 module.

# One package per component: the programs' (every install() without a
# component, which keeps the name, section and description of the one
# package), and this one.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-gwbuilders)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
# Built from the same source as the programs' package (its changelog).
set(CPACK_DEBIAN_PYTHON_PACKAGE_SOURCE ${PROJECT_NAME})
# The module is compiled for one Python version (its file name says which):
# the interpreter of that version, then numpy; dpkg-shlibdeps adds the
# libraries the module links.
string(REGEX REPLACE "^([0-9]+)\\.([0-9]+)$" "\\1" python_major "${BUILDERS_PYTHON_VERSION}")
string(REGEX REPLACE "^([0-9]+)\\.([0-9]+)$" "\\2" python_minor "${BUILDERS_PYTHON_VERSION}")
math(EXPR python_next_minor "${python_minor} + 1")
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
    "python3 (>= ${BUILDERS_PYTHON_VERSION}~), python3 (<< ${python_major}.${python_next_minor}), python3-numpy")
set(CPACK_DEBIAN_PYTHON_DESCRIPTION
    "groundwater flow simulator input files as numpy arrays
The Python 3 package gwbuilders: it reads the fixed-column input files of a
block-centred, finite-difference groundwater flow simulator (the basic file
FOR001, the block-centred flow file FOR011 and the drain file FOR013) into
numpy arrays, makes models from numpy arrays and writes their files byte for
byte as the interactive builders Morvek, Cindral and Quillet write them, and
gives the answers, the check and the HTML report of gwinspect from Python.
A compiled module over the same libraries as the programs of the package
groundwater-input-builders, which the package does not need.")

set(python_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/python3-gwbuilders)
install(FILES ${PROJECT_SOURCE_DIR}/package/copyright
              ${PROJECT_BINARY_DIR}/package/changelog.Debian.gz
        DESTINATION ${python_doc_dir} COMPONENT python)
# What lintian reports and Debian's policy allows here, with its reason.
install(FILES ${PROJECT_SOURCE_DIR}/package/python3-gwbuilders.lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME python3-gwbuilders COMPONENT python)
