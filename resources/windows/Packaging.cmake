# The Windows edition, for a ship's satellite link: one koerswacht.exe with Qt and the GCC runtime
# linked in, beside Koerswacht's licence and the notices for everything else it holds. `cpack` in
# the build folder makes the portable zip and the NSIS installer (CPack runs makensis here too).

# Unused sections dropped, symbols stripped, and the linker's map kept: the notices are read off it.
target_link_options(koerswacht PRIVATE -Wl,--gc-sections -s -Wl,-Map=${PROJECT_BINARY_DIR}/koerswacht.map)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
get_filename_component(qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)
set(notices ${PROJECT_BINARY_DIR}/THIRD-PARTY-NOTICES.txt)
add_custom_command(OUTPUT ${notices} ${PROJECT_BINARY_DIR}/licence-page.txt
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/windows/notices.py ${PROJECT_BINARY_DIR}/koerswacht.map
            ${qt_prefix} ${notices}
    COMMAND ${CMAKE_COMMAND} -E cat ${PROJECT_SOURCE_DIR}/LICENSE ${notices} > ${PROJECT_BINARY_DIR}/licence-page.txt
    DEPENDS koerswacht ${PROJECT_SOURCE_DIR}/scripts/windows/notices.py ${PROJECT_SOURCE_DIR}/resources/windows/notices-head.txt ${PROJECT_SOURCE_DIR}/LICENSE
    COMMENT "Notices for what koerswacht.exe holds from others" VERBATIM)
add_custom_target(koerswacht_notices ALL DEPENDS ${notices})

install(TARGETS koerswacht RUNTIME DESTINATION .)
install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES ${notices} DESTINATION .)

set(CPACK_GENERATOR NSIS ZIP)
# Every value reaches cpack as it stands here (the mutex's name holds a backslash).
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "${KOERSWACHT_COMPANY}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY ${PROJECT_NAME})
set(CPACK_STRIP_FILES OFF) # stripped at the link already
# Per generator: the zip holds the folder "Koerswacht"; the installer is named for its version.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/resources/windows/CPackOptions.cmake)
set(CPACK_KOERSWACHT_VERSION ${PROJECT_VERSION})
set(CPACK_KOERSWACHT_RECOMPRESS ${PROJECT_SOURCE_DIR}/resources/windows/Recompress.cmake)
set(CPACK_KOERSWACHT_RUNNING_MUTEX ${KOERSWACHT_RUNNING_MUTEX})
set(CPACK_KOERSWACHT_UPGRADE_CODE ${KOERSWACHT_UPGRADE_CODE})
set(CPACK_KOERSWACHT_ICON ${PROJECT_SOURCE_DIR}/resources/koerswacht.ico)
set(CPACK_KOERSWACHT_LICENCE_PAGE ${PROJECT_BINARY_DIR}/licence-page.txt)
# Our own installer script, with CPack's file lists: resources/windows/NSIS.template.in.
list(PREPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/resources/windows)
include(CPack)

# The MSI package's custom actions (MsiChecks.cpp): a DLL that Windows Installer loads from the
# package and that needs nothing but Windows' own DLLs.
add_library(koerswacht_msi_checks MODULE ${PROJECT_SOURCE_DIR}/resources/windows/MsiChecks.cpp)
target_link_libraries(koerswacht_msi_checks PRIVATE koerswacht_settings msi kernel32 advapi32 shell32)
target_link_options(koerswacht_msi_checks PRIVATE -nostdlib -Wl,--entry,DllEntry -s)
set_target_properties(koerswacht_msi_checks PROPERTIES PREFIX "" OUTPUT_NAME msi-checks)

# The MSI package of `version`, for a fleet's managed PCs, made with wixl (Msi.cmake) from the
# files the zip holds; its cabinet deflated again with zopfli when `repack` is set.
function(koerswacht_msi target output version repack)
    set(windows ${PROJECT_SOURCE_DIR}/resources/windows)
    set(repack_script "")
    if(repack)
        set(repack_script -DREPACK=${PROJECT_SOURCE_DIR}/scripts/windows/mszip.py)
    endif()
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} -DVERSION=${version} -DPRODUCT=${PROJECT_NAME}
                -DCOMPANY=${KOERSWACHT_COMPANY} -DUPGRADE_CODE=${KOERSWACHT_UPGRADE_CODE}
                -DCODE_NAMESPACE=${KOERSWACHT_CODE_NAMESPACE} -DEXE=$<TARGET_FILE:koerswacht>
                -DLICENCE=${PROJECT_SOURCE_DIR}/LICENSE -DNOTICES=${notices}
                -DCHECKS=$<TARGET_FILE:koerswacht_msi_checks> -DICON=${PROJECT_SOURCE_DIR}/resources/koerswacht.ico
                -DWXS=${windows}/Koerswacht.wxs ${repack_script} -P ${windows}/Msi.cmake
        DEPENDS koerswacht koerswacht_msi_checks ${notices} ${windows}/Koerswacht.wxs ${windows}/Msi.cmake ${windows}/PackageCode.cmake
                ${PROJECT_SOURCE_DIR}/scripts/windows/mszip.py
        COMMENT "MSI package ${version}" VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
koerswacht_msi(koerswacht_msi ${PROJECT_BINARY_DIR}/${PROJECT_NAME}-${PROJECT_VERSION}-win64.msi ${PROJECT_VERSION} ON)
