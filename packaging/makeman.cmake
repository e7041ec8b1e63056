# SPDX-License-Identifier: BSD-3-Clause
# Writes the man page of saedindex-cli from its own --help texts, so the page never drifts from
# the program. Called at build time:
#   cmake -DCLI=<program> -DOUT=<file.1> -DVERSION=<v> [-DPAGE_LANG=en|zh] -P makeman.cmake
# PAGE_LANG chooses the language of the page (English by default).
if(NOT PAGE_LANG)
  set(PAGE_LANG en)
endif()

function(run_help out_var)
  execute_process(COMMAND ${CLI} ${ARGN} --help --lang ${PAGE_LANG}
                  OUTPUT_VARIABLE text ERROR_VARIABLE text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${CLI} ${ARGN} --help failed (${rc}): ${text}")
  endif()
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

# roff: a backslash is written \e, a line starting with . or ' is protected with \&, and a
# hyphen is \- so that it copies and searches as a minus.
function(roff_escape out_var text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

set(ENV{LANGUAGE} "en")
set(ENV{LC_ALL} "C.UTF-8")
run_help(overview)

# The commands are the first words of the overview's first block of indented lines that start
# with a lowercase word (the command list, whatever its heading says in the page's language).
string(REGEX MATCH "\n(( +[a-z]+ [^\n]*\n)+)" _ "${overview}")
string(REPLACE "\n" ";" command_lines "${CMAKE_MATCH_1}")
set(commands "")
foreach(line IN LISTS command_lines)
  if(line MATCHES "^ +([a-z]+) ")
    list(APPEND commands "${CMAKE_MATCH_1}")
  endif()
endforeach()

roff_escape(overview_roff "${overview}")
if(PAGE_LANG STREQUAL "zh")
  # The coding line tells man's preprocessor that the page is UTF-8.
  set(page "'\\\" -*- coding: UTF-8 -*-\n")
  string(APPEND page ".TH SAEDINDEX\\-CLI 1 \"\" \"saedindex ${VERSION}\" \"用户命令\"\n")
  string(APPEND page ".SH 名称\nsaedindex\\-cli \\- 在命令行上标定电子衍射斑点花样\n")
  string(APPEND page ".SH 概述\n.B saedindex\\-cli\n.I 命令\n[\\fI选项\\fR]\n")
  string(APPEND page ".SH 描述\n.nf\n${overview_roff}.fi\n")
else()
  set(page ".TH SAEDINDEX\\-CLI 1 \"\" \"saedindex ${VERSION}\" \"User Commands\"\n")
  string(APPEND page ".SH NAME\nsaedindex\\-cli \\- index electron diffraction spot patterns from the command line\n")
  string(APPEND page ".SH SYNOPSIS\n.B saedindex\\-cli\n.I COMMAND\n[\\fIOPTIONS\\fR]\n")
  string(APPEND page ".SH DESCRIPTION\n.nf\n${overview_roff}.fi\n")
endif()
foreach(command IN LISTS commands)
  run_help(help ${command})
  roff_escape(help_roff "${help}")
  string(TOUPPER "${command}" title)
  string(APPEND page ".SH ${title}\n.nf\n${help_roff}.fi\n")
endforeach()
file(WRITE "${OUT}" "${page}")
