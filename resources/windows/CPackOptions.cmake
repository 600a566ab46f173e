# Read by cpack once per generator (CPACK_PROJECT_CONFIG_FILE).
if(CPACK_GENERATOR STREQUAL "ZIP")
    # The folder inside the zip is "Koerswacht"; the zip is named for the version, and deflated
    # again with advzip (zopfli), the tightest deflate Windows Explorer unpacks.
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-win64")
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    set(CPACK_PACKAGING_INSTALL_PREFIX "/${CPACK_PACKAGE_NAME}")
    set(CPACK_POST_BUILD_SCRIPTS "${CPACK_KOERSWACHT_RECOMPRESS}")
elseif(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-setup")
endif()
