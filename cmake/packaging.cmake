# What `make install` puts beside the programs and their manual pages, and
# the Debian package made of the same files (`make package`). In the Windows
# build, the zip of the .exe files with the README, the guides, the manual
# pages as text and the examples.

# What `make install` and `make package` build before they install: the
# programs with their manual pages, and the Python package's module where
# the build makes it, which is installed beside them.
add_custom_target(installable)
add_dependencies(installable programs)
if(BUILDERS_PYTHON)
  include(cmake/python_install.cmake)
  add_dependencies(installable gwbuilders_native)
endif()

if(WIN32)
  set(doc_dir .)
else()
  set(doc_dir ${CMAKE_INSTALL_DOCDIR})
endif()
# The README with what it links to: its picture, the guides and the
# benchmark's notes, in the same places as in the source tree, so that every
# link of the installed pages leads to an installed file.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${doc_dir})
install(FILES ${PROJECT_SOURCE_DIR}/doc/report.png DESTINATION ${doc_dir}/doc)
file(GLOB guides CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.md)
install(FILES ${guides} DESTINATION ${doc_dir}/docs)
install(FILES ${PROJECT_SOURCE_DIR}/bench/README.md DESTINATION ${doc_dir}/bench)
install(FILES ${PROJECT_SOURCE_DIR}/examples/morvek.txt
              ${PROJECT_SOURCE_DIR}/examples/cindral.txt
              ${PROJECT_SOURCE_DIR}/examples/quillet.txt
        DESTINATION ${doc_dir}/examples)
# The answers with mistakes that `gwinspect check` finds (make demo-faulty).
install(FILES ${PROJECT_SOURCE_DIR}/examples/faulty/morvek.txt
              ${PROJECT_SOURCE_DIR}/examples/faulty/cindral.txt
              ${PROJECT_SOURCE_DIR}/examples/faulty/quillet.txt
        DESTINATION ${doc_dir}/examples/faulty)

if(WIN32)
  # Every program at the top of the zip (user_program() puts them there):
  # unpacked, the folder is ready to run from cmd or PowerShell.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-windows-x86_64)
  set(CPACK_STRIP_FILES ON)
  include(CPack)
  return()
endif()

# The one place to name who answers for the package: `make package
# BUILDERS_MAINTAINER="Name <address>"` (or -D at the configure).
set(BUILDERS_MAINTAINER "Groundwater Input Builders Team <maintainers@groundwater-input-builders.org>"
    CACHE STRING "The Maintainer field of the Debian package and its changelog")

# The Debian revision of this version, in the package and its changelog.
set(BUILDERS_DEBIAN_RELEASE 1)

# The copyright file and the changelog, where Debian's policy puts them.
install(FILES ${PROJECT_SOURCE_DIR}/package/copyright DESTINATION ${doc_dir})
configure_file(${PROJECT_SOURCE_DIR}/package/changelog.in
               ${PROJECT_BINARY_DIR}/package/changelog.Debian @ONLY)
execute_process(COMMAND ${GZIP} -9 -n -c ${PROJECT_BINARY_DIR}/package/changelog.Debian
                OUTPUT_FILE ${PROJECT_BINARY_DIR}/package/changelog.Debian.gz
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip could not compress the changelog")
endif()
install(FILES ${PROJECT_BINARY_DIR}/package/changelog.Debian.gz DESTINATION ${doc_dir})

# The Debian package holds programs linked against the system's libraries;
# the statically linked ones of the release build (and the instrumented ones
# of the sanitizer and fuzz builds) are not for it, so those builds have no
# package target. `make package` configures a build of its own for it.
if(BUILDERS_STATIC OR BUILDERS_SANITIZE OR BUILDERS_FUZZ)
  return()
endif()

# What lintian reports and Debian's policy allows here, each with its reason.
install(FILES ${PROJECT_SOURCE_DIR}/package/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${PROJECT_NAME})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Groundwater input builders maintainers")
# The description, summary line first, whole: a summary of its own would
# also come before the Python package's (cmake/python_package.cmake).
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "interactive builders of groundwater flow simulator input files
Console programs that ask their user a fixed sequence of questions and
write the fixed-column input files of a block-centred, finite-difference
groundwater flow simulator: Morvek writes the basic file FOR001, Cindral the
block-centred flow file FOR011 and Quillet the drain file FOR013. Answers
are typed at the terminal or read from a file, one per line. gwinspect reads
the three files back: gwinspect answers writes the answers that make a
builder write a file again, gwinspect check checks that the files make one
model the simulator can run, gwinspect report writes an HTML page that
shows the model, with maps, and gwinspect try runs a builder's questions on
an answers file without writing a file and says where the answers go wrong.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${BUILDERS_DEBIAN_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${BUILDERS_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends: the libraries the programs (and the Python package's module)
# link, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# With the Python package, a second package from the same build.
if(BUILDERS_PYTHON)
  include(cmake/python_package.cmake)
endif()
include(CPack)
