# cmake -DPROGRAM=path -DNAME=name -DDESCRIPTION=text -DVERSION=x.y.z -DOUTPUT=file
#       -P man_page.cmake
# Writes a man page whose body is the program's own --help text, kept as it is
# laid out (the texts are aligned by hand; filling them would scramble the
# columns), so it says exactly what --help and docs/tools.md say.
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${NAME} --help failed (${rc})")
endif()
# roff: a backslash is an escape, a line starting with . or ' a request.
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(REGEX REPLACE "(^|\n)-" "\\1\\\\-" help "${help}")
string(TOUPPER "${NAME}" title)
file(WRITE ${OUTPUT}
  ".TH ${title} 1 \"\" \"vorela! ${VERSION}\" \"User Commands\"\n"
  ".SH NAME\n${NAME} \\- ${DESCRIPTION}\n"
  ".SH DESCRIPTION\n.nf\n${help}.fi\n"
  ".PP\n${NAME} \\-\\-version prints the name and version.\n"
  ".SH SEE ALSO\nThe tools' reference, tools.md, in the documentation folder of vorela.\n")
