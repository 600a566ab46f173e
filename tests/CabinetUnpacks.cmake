# A cabinet that mszip.py writes unpacks with gcab, which checks every block's checksum, byte for
# byte: files empty, under, at and over one 32 KiB block, packed one after another so that blocks
# end inside files.   cmake -DMSZIP=<mszip.py> -DWORK=<folder> -P CabinetUnpacks.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/out)
foreach(size 0 1 32767 32768 32769 100001)
    execute_process(COMMAND head -c ${size} ${CMAKE_COMMAND} OUTPUT_FILE ${WORK}/file-${size} COMMAND_ERROR_IS_FATAL ANY)
    list(APPEND files ${WORK}/file-${size})
endforeach()
execute_process(COMMAND python3 ${MSZIP} --cabinet ${WORK}/test.cab ${files} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND gcab -x -C ${WORK}/out ${WORK}/test.cab COMMAND_ERROR_IS_FATAL ANY)
foreach(file IN LISTS files)
    cmake_path(GET file FILENAME name)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${file} ${WORK}/out/${name} RESULT_VARIABLE differs)
    if(differs)
        message(FATAL_ERROR "${name} unpacks other than it went in")
    endif()
endforeach()
