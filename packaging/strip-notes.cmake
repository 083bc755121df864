# Run by CPack on its staging folder before the .deb is made: removes the
# .comment and .note sections from the program, as Debian's dh_strip does.
find_program(strip_tool NAMES strip REQUIRED)
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/*")
foreach(program IN LISTS programs)
  execute_process(COMMAND ${strip_tool} --remove-section=.comment --remove-section=.note ${program}
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
