# What `make install` puts beside the programs and their manual pages, and
# the Debian package made of the same files (`make package`). In the Windows
# build, the zip of the .exe files with the README and the examples.

if(WIN32)
  set(doc_dir .)
else()
  set(doc_dir ${CMAKE_INSTALL_DOCDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${doc_dir})
# The pictures the README shows, where its links look for them.
install(FILES ${PROJECT_SOURCE_DIR}/doc/report.png DESTINATION ${doc_dir}/doc)
install(FILES ${PROJECT_SOURCE_DIR}/examples/morvek.txt
              ${PROJECT_SOURCE_DIR}/examples/cindral.txt
              ${PROJECT_SOURCE_DIR}/examples/quillet.txt
        DESTINATION ${doc_dir}/examples)

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

set(BUILDERS_MAINTAINER "Groundwater input builders maintainers <dev@example.com>"
    CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Groundwater input builders maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "interactive builders of groundwater flow simulator input files")
set(CPACK_PACKAGE_DESCRIPTION
    "Console programs that ask their user a fixed sequence of questions and
write the fixed-column input files of a block-centred, finite-difference
groundwater flow simulator: Morvek writes the basic file FOR001, Cindral the
block-centred flow file FOR011 and Quillet the drain file FOR013. Answers
are typed at the terminal or read from a file, one per line. gwinspect reads
the three files back: gwinspect answers writes the answers that make a
builder write a file again, gwinspect check checks that the files make one
model the simulator can run, and gwinspect report writes an HTML page that
shows the model, with maps.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${BUILDERS_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The programs are linked statically and need no other package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
include(CPack)
