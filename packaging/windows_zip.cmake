# Makes the Windows package: quorvane-<version>-windows-x64.zip holding one
# folder of that name with the programs and a read-me, nothing else to install.
#   cmake -DVERSION=<v> -DPROGRAMS=<a.exe;b.exe> -DREADME=<README.txt.in>
#         -DOUT_DIR=<folder> [-DSTRIP=<strip>] -P windows_zip.cmake
cmake_minimum_required(VERSION 3.25)
foreach(var VERSION PROGRAMS README OUT_DIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "windows_zip.cmake needs -D${var}=...")
    endif()
endforeach()

set(name quorvane-${VERSION}-windows-x64)
set(stage ${OUT_DIR}/${name}.stage)
set(folder ${stage}/${name})
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${folder})

foreach(program IN LISTS PROGRAMS)
    if(NOT EXISTS ${program})
        message(FATAL_ERROR "windows_zip.cmake: ${program} has not been built")
    endif()
    file(COPY ${program} DESTINATION ${folder})
    get_filename_component(program_name ${program} NAME)
    # Symbols only make the download larger.
    if(STRIP)
        execute_process(COMMAND ${STRIP} --strip-unneeded ${folder}/${program_name}
                        COMMAND_ERROR_IS_FATAL ANY)
    endif()
endforeach()

# The read-me with Windows line ends, so that every editor shows its lines.
set(PROJECT_VERSION ${VERSION})
configure_file(${README} ${folder}/README.txt @ONLY NEWLINE_STYLE CRLF)

set(zip ${OUT_DIR}/${name}.zip)
file(REMOVE ${zip})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip ${name}
                WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${stage})
message(STATUS "Made ${zip}")
