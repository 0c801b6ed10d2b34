# Runs the programs on the example sound in a scratch folder and shows what
# each printed and which files it made.
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
file(COPY ${EXAMPLE} DESTINATION ${WORKDIR})

function(show_files)
  file(GLOB paths RELATIVE ${WORKDIR} ${WORKDIR}/*)
  list(SORT paths)
  set(listing "")
  foreach(path IN LISTS paths)
    file(SIZE ${WORKDIR}/${path} size)
    string(APPEND listing "    ${path}  (${size} bytes)\n")
  endforeach()
  message("  files in ${WORKDIR}:\n${listing}")
endfunction()

# Shows the command as typed in the scratch folder, then its output.
function(run shown)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${WORKDIR}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  message("\n$ ${shown}\n  standard output: ${out}")
  if(err)
    message("  standard error: ${err}")
  endif()
  message("  exit status: ${status}")
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${shown} failed")
  endif()
  show_files()
endfunction()

get_filename_component(example ${EXAMPLE} NAME)
run("Tovrel ${example}" ${TOVREL} ${example})
