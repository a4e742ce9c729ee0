# cmake -DSCDOC=... -DGZIP=... -DSOURCE=x.1.scd -DPAGE=x.1 -DPACKAGE=... -DVERSION=... -P render_page.cmake
#
# Fills in the package and its version (@PACKAGE@, @VERSION@) and the
# sections that several pages share, each written once as shared/<name>.scd
# and placed by @<NAME>@ (shared/answers.scd by @ANSWERS@), then turns the
# scdoc source into roff: PAGE to read with man -l, and PAGE.gz, compressed
# as Debian's policy asks (-9, and -n so that no time stamp makes two builds
# differ), to install. A page that scdoc refuses leaves nothing behind, so
# the next build tries again.
get_filename_component(here ${CMAKE_CURRENT_LIST_FILE} DIRECTORY)
file(GLOB sections ${here}/shared/*.scd)
foreach(section ${sections})
  get_filename_component(name ${section} NAME_WE)
  string(TOUPPER ${name} name)
  file(READ ${section} text)
  string(STRIP "${text}" ${name})
endforeach()
file(READ ${SOURCE} text)
string(CONFIGURE "${text}" text @ONLY)
if(text MATCHES "@[A-Z_]+@")
  message(FATAL_ERROR "${SOURCE}: ${CMAKE_MATCH_0} is not filled in")
endif()
file(WRITE ${PAGE}.scd "${text}")
execute_process(COMMAND ${SCDOC}
                INPUT_FILE ${PAGE}.scd
                OUTPUT_FILE ${PAGE}
                ERROR_VARIABLE errors
                RESULT_VARIABLE status)
file(REMOVE ${PAGE}.scd)
if(NOT status EQUAL 0)
  file(REMOVE ${PAGE})
  message(FATAL_ERROR "scdoc refused ${SOURCE}:\n${errors}")
endif()
execute_process(COMMAND ${GZIP} -9 -n -c ${PAGE}
                OUTPUT_FILE ${PAGE}.gz
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${PAGE} ${PAGE}.gz)
  message(FATAL_ERROR "gzip could not compress ${PAGE}")
endif()
