# Builds the Windows distribution: a folder with the programs (stripped of their debug information)
# and the README, the zip of that folder and the installer made from it.
#   cmake -DSCANNER=<orvan-scan.exe> [-DFINDER=<finder exe>] -DREADME=README.md -DSTRIP=<strip>
#         -DMAKENSIS=<makensis> -DNSI=orvan-finder.nsi -DVERSION=1.2.7 -DNAME=orvaniot-finder-1.2.7-win64
#         -DOUT=<folder> -P make_dist.cmake
# Writes OUT/NAME.zip (one folder NAME inside) and OUT/NAME-setup.exe.
foreach(variable SCANNER README STRIP MAKENSIS NSI VERSION NAME OUT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "make_dist.cmake needs -D${variable}=...")
  endif()
endforeach()

set(stage ${OUT}/${NAME})
file(REMOVE_RECURSE ${stage} ${OUT}/${NAME}.zip ${OUT}/${NAME}-setup.exe)
file(MAKE_DIRECTORY ${stage})

function(stage_program from name)
  execute_process(COMMAND ${STRIP} --strip-all -o ${stage}/${name} ${from} COMMAND_ERROR_IS_FATAL ANY)
endfunction()
stage_program(${SCANNER} orvan-scan.exe)
set(nsis_defines)
if(FINDER)
  stage_program(${FINDER} orvan_finder.exe)
  list(APPEND nsis_defines -DFINDER)
endif()
configure_file(${README} ${stage}/README.txt COPYONLY)

execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${OUT}/${NAME}.zip --format=zip -- ${NAME}
                WORKING_DIRECTORY ${OUT} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${MAKENSIS} -V2 -DVERSION=${VERSION} -DSTAGE=${stage} -DOUTFILE=${OUT}/${NAME}-setup.exe
                        ${nsis_defines} ${NSI}
                COMMAND_ERROR_IS_FATAL ANY)
