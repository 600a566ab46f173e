# Read by cpack once per generator (CPACK_PROJECT_CONFIG_FILE).
if(CPACK_GENERATOR STREQUAL "ZIP")
    # The folder inside the zip, and the zip's name until package.sh names it for the version.
    set(CPACK_PACKAGE_FILE_NAME "Koerswacht")
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
elseif(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME "Koerswacht-${CPACK_KOERSWACHT_VERSION}-setup")
endif()
