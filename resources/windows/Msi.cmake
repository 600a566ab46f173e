# Makes Koerswacht's MSI package with wixl from Koerswacht.wxs, then sets in its tables what wixl
# leaves out, so that Windows Installer reads it as intended. Run by the build (Packaging.cmake):
#   cmake -DOUTPUT=... -DVERSION=... -DPRODUCT=... -DCOMPANY=... -DUPGRADE_CODE=... -DCODE_NAMESPACE=...
#         -DEXE=... -DLICENCE=... -DNOTICES=... -DCHECKS=... -DICON=... -DWXS=... [-DREPACK=<mszip.py>]
#         -P Msi.cmake
# The ProductCode is made from the version (the same for every build of a version); the
# PackageCode from all the package holds (PackageCode.cmake).
cmake_minimum_required(VERSION 3.22)
foreach(name OUTPUT VERSION PRODUCT COMPANY UPGRADE_CODE CODE_NAMESPACE EXE LICENCE NOTICES CHECKS ICON WXS)
    if(NOT DEFINED ${name})
        message(FATAL_ERROR "Msi.cmake needs -D${name}=...")
    endif()
endforeach()

# wixl takes the files by names relative to where it runs, as the package names them.
set(stage ${OUTPUT}.files)
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage})
file(COPY_FILE ${EXE} ${stage}/koerswacht.exe)
file(COPY_FILE ${LICENCE} ${stage}/LICENSE.txt)
file(COPY_FILE ${NOTICES} ${stage}/THIRD-PARTY-NOTICES.txt)
file(COPY_FILE ${CHECKS} ${stage}/msi-checks.dll)
file(COPY_FILE ${ICON} ${stage}/koerswacht.ico)

string(UUID product_code NAMESPACE ${CODE_NAMESPACE} NAME ${VERSION} TYPE SHA1 UPPER)

execute_process(
    COMMAND wixl --arch x64 -D Version=${VERSION} -D ProductCode=${product_code} -D UpgradeCode=${UPGRADE_CODE}
            -D Product=${PRODUCT} -D Company=${COMPANY} -D SourceDir=. -D ChecksDll=msi-checks.dll
            -D Icon=koerswacht.ico -o ${OUTPUT} ${WXS}
    WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)

# wixl writes the string table without a code page and the summary in US English, whatever the
# package says: the Dutch texts are Windows-1252 and read right on any Windows only when the package
# says so. It leaves the program file's version out of the File table (Windows Installer would
# treat it as unversioned when it replaces files) and hashes it, which only unversioned files get.
# It knows neither short names (without them a validator rejects every long name, and a volume
# without long names gets none) nor rollback and commit actions (it makes them plain deferred ones),
# and it writes HKMU as a root that does not exist: the shortcut's component keeps its key path under
# -1, which is HKLM for this per-machine package and what a validator asks of a shortcut's component.
file(WRITE ${stage}/_ForceCodepage.idt "\r\n\r\n1252\t_ForceCodepage\r\n")
string(REGEX MATCH "^[0-9]+\\.[0-9]+\\.[0-9]+" three ${VERSION})
# Deferred and not impersonated (3073), plus rollback (256), or commit (512) with its failure
# ignored (64): once committed there is nothing left to roll back.
math(EXPR rollback "3073 + 256")
math(EXPR commit "3073 + 512 + 64")
execute_process(
    COMMAND msibuild ${OUTPUT} -i ${stage}/_ForceCodepage.idt
            -q "UPDATE `File` SET `Version` = '${three}.0', `Language` = '1043' WHERE `File` = 'koerswacht.exe'"
            -q "DELETE FROM `MsiFileHash` WHERE `File_` = 'koerswacht.exe'"
            -q "UPDATE `File` SET `FileName` = 'KOERSW~1.EXE|koerswacht.exe' WHERE `File` = 'koerswacht.exe'"
            -q "UPDATE `File` SET `FileName` = 'THIRD-~1.TXT|THIRD-PARTY-NOTICES.txt' WHERE `File` = 'THIRD_PARTY_NOTICES.txt'"
            -q "UPDATE `Directory` SET `DefaultDir` = 'KOERSW~1|Koerswacht' WHERE `Directory` = 'INSTALLDIR'"
            -q "UPDATE `Shortcut` SET `Name` = 'KOERSW~1|Koerswacht' WHERE `Shortcut` = 'Koerswacht.lnk'"
            -q "UPDATE `Registry` SET `Root` = -1 WHERE `Component_` = 'StartMenuShortcut'"
            -q "UPDATE `CustomAction` SET `Type` = ${rollback} WHERE `Action` = 'RollbackSetupCopy'"
            -q "UPDATE `CustomAction` SET `Type` = ${commit} WHERE `Action` = 'CommitSetupCopy'"
            -s "${PRODUCT} ${VERSION}" "${COMPANY}" "x64;1043" "{00000000-0000-0000-0000-000000000000}" # its code below
    COMMAND_ERROR_IS_FATAL ANY)

# wixl's cabinet deflated again, harder (a tenth smaller).
if(REPACK)
    execute_process(COMMAND python3 ${REPACK} ${OUTPUT} ${stage} COMMAND_ERROR_IS_FATAL ANY)
endif()
file(REMOVE_RECURSE ${stage})
set(MSI ${OUTPUT})
include(${CMAKE_CURRENT_LIST_DIR}/PackageCode.cmake)
