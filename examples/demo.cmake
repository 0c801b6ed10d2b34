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
set(offset 2E40)

message("\n1. Encode the example sound into a record.")
run("Tovrel ${example}" ${TOVREL} ${example})

message("\n2. Place the record inside a made-up 16 KiB ROM image at offset 0x${offset}.")
run("make_demo_rom ${example}.dmp ${offset} 16384 rom.bin" ${MAKE_ROM} ${example}.dmp ${offset} 16384 rom.bin)

message("\n3. Dump it from the ROM image, then from the .dmp file at offset 0.")
run("Quenlow ${offset} rom.bin" ${QUENLOW} ${offset} rom.bin)
run("Quenlow 0 ${example}.dmp" ${QUENLOW} 0 ${example}.dmp)

file(SHA256 ${WORKDIR}/rom.bin${offset}.wav from_rom)
file(SHA256 ${WORKDIR}/${example}.dmp0.wav from_dmp)
if(NOT from_rom STREQUAL from_dmp)
  message(FATAL_ERROR "the two dumps differ")
endif()
message("\nBoth dumps are identical: rom.bin${offset}.wav holds the record's samples as the encoder"
        " reconstructed them (740 fewer than ${example}, as every record plays).")
