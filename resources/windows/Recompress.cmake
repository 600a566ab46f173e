# After cpack has made the zip (CPACK_POST_BUILD_SCRIPTS): deflates it again, harder.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(package MATCHES "\\.zip$")
        execute_process(COMMAND advzip --recompress -4 --iter 15 ${package} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    endif()
endforeach()
