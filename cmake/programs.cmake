# The programs a user runs: each lands in bin/ of the build folder, is
# installed into bin/ of the prefix and has a manual page, written in scdoc
# as man/<program>.1.scd and turned into roff at build time, and a bash
# completion (completion/complete_programs.bash, which must learn its
# options). Adding a program to all of this (and to the Debian package) is
# one line in its CMakeLists.txt: user_program(<target>).
#
# The target `programs` builds the programs and their manual pages, without
# the tests, for the demo and for `make install`.

find_program(SCDOC scdoc)
if(NOT SCDOC)
  message(WARNING "scdoc not found: the programs are built, their manual pages are not "
                  "(Debian: apt-get install scdoc).")
endif()
# Installed compressed; gzip is part of every Debian system.
find_program(GZIP gzip REQUIRED)
# The manual pages are checked as a reader meets them, through man.
find_program(MAN_VIEWER man)
find_program(GROFF groff)

add_custom_target(programs)

# Where the programs are installed: bin/ under the prefix, or the top of the
# Windows zip, beside the README (and the manual pages as text in man/).
if(WIN32)
  set(BUILDERS_PROGRAM_DIR .)
else()
  set(BUILDERS_PROGRAM_DIR ${CMAKE_INSTALL_BINDIR})
endif()

function(user_program target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
  install(TARGETS ${target} RUNTIME DESTINATION ${BUILDERS_PROGRAM_DIR})
  add_dependencies(programs ${target})
  if(NOT WIN32)
    # bash-completion loads completions/<program> the first time the
    # program's name is completed; one script serves all four.
    install(FILES ${PROJECT_SOURCE_DIR}/completion/complete_programs.bash
            DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ${target})
  endif()

  set(source ${PROJECT_SOURCE_DIR}/man/${target}.1.scd)
  if(NOT EXISTS ${source})
    message(FATAL_ERROR "${target} has no manual page: write ${source}")
  endif()
  if(NOT SCDOC)
    return()
  endif()
  set(page ${PROJECT_BINARY_DIR}/man/${target}.1)
  file(GLOB shared_sections CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/man/shared/*.scd)
  add_custom_command(
    OUTPUT ${page} ${page}.gz
    COMMAND ${CMAKE_COMMAND} -DSCDOC=${SCDOC} -DGZIP=${GZIP} -DSOURCE=${source} -DPAGE=${page}
            -DPACKAGE=${PROJECT_NAME} -DVERSION=${PROJECT_VERSION}
            -P ${PROJECT_SOURCE_DIR}/man/render_page.cmake
    DEPENDS ${source} ${PROJECT_SOURCE_DIR}/man/render_page.cmake ${shared_sections}
    COMMENT "Manual page ${target}(1)"
    VERBATIM)
  if(WIN32)
    # Windows has no man: the zip carries each page as plain text, which
    # any editor opens (man\Morvek.txt beside Morvek.exe).
    if(NOT GROFF)
      message(FATAL_ERROR "groff is needed for the text of the manual pages in the Windows zip "
                          "(Debian: apt-get install groff-base)")
    endif()
    add_custom_command(
      OUTPUT ${page}.txt
      COMMAND ${CMAKE_COMMAND} -DGROFF=${GROFF} -DPAGE=${page} -DTEXT=${page}.txt
              -P ${PROJECT_SOURCE_DIR}/man/render_text.cmake
      DEPENDS ${page} ${PROJECT_SOURCE_DIR}/man/render_text.cmake
      COMMENT "Manual page ${target}(1) as text"
      VERBATIM)
    add_custom_target(manual_${target} ALL DEPENDS ${page}.txt)
    add_dependencies(programs manual_${target})
    install(FILES ${page}.txt DESTINATION man RENAME ${target}.txt)
    return()
  endif()
  add_custom_target(manual_${target} ALL DEPENDS ${page} ${page}.gz)
  add_dependencies(programs manual_${target})
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  if(BUILDERS_TESTS AND MAN_VIEWER AND GROFF)
    add_test(NAME manual_page_${target}
             COMMAND ${PROJECT_SOURCE_DIR}/man/check_page.sh ${page})
  endif()
endfunction()
