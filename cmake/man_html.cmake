# Renders a manual page as HTML with groff's html device (Debian's groff
# package; groff-base lacks it), the same bytes on every run:
#   cmake -DGROFF=groff -DINPUT=man/x.1 -DOUTPUT=x.html -P cmake/man_html.cmake
set(ENV{SOURCE_DATE_EPOCH} 0)  # the page's creation date, which groff writes into it
execute_process(COMMAND ${GROFF} -man -Thtml -ww ${INPUT}
                OUTPUT_FILE ${OUTPUT}
                ERROR_VARIABLE warnings
                RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "groff could not render ${INPUT} as HTML: ${warnings}")
endif()
