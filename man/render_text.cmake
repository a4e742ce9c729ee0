# cmake -DGROFF=... -DPAGE=x.1 -DTEXT=x.1.txt -P render_text.cmake
#
# A rendered manual page as plain text, for systems without man (the
# Windows zip): groff's ASCII output without the overstrikes and escape
# sequences of a terminal, so an editor shows it as man shows it.
execute_process(COMMAND ${GROFF} -t -man -Tascii -P-cbou ${PAGE}
                OUTPUT_VARIABLE text
                ERROR_VARIABLE errors
                RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT errors STREQUAL "" OR text STREQUAL "")
  message(FATAL_ERROR "groff could not render ${PAGE} as text:\n${errors}")
endif()
# The blank lines groff leaves above the first heading.
string(REGEX REPLACE "^([^\n]*\n)\n+" "\\1\n" text "${text}")
file(WRITE ${TEXT} "${text}")
