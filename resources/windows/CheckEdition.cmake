# The Windows edition as a user downloads it (CTest windows_edition):
#   cmake -DEXE=... -DSETUP=... -DZIP=... -DMSI=... -DAGAIN=... -DCODE_NAMESPACE=... -P CheckEdition.cmake
# One program file that imports only DLLs every Windows 10 and 11 has, a GUI program; the installer
# at most 3.5 MB, the MSI package at most 3.6 MB and the portable zip at most 4.5 MB (a ship's
# satellite link); the zip with the licences beside the program, in a compression Windows Explorer
# opens; the MSI package with the zip's very files, its version the program's version record, its
# custom actions' DLL importing Windows' own only, and its tables as Windows Installer and a
# validator read them (AGAIN: the same package built again from the same files). Prints the
# figures; fails on the first that is wrong.
cmake_minimum_required(VERSION 3.22)
set(windows_own advapi32 authz comdlg32 d2d1 d3d9 d3d11 dwmapi dwrite dxgi gdi32 imm32 kernel32 msvcrt
    netapi32 ole32 oleaut32 shcore shell32 shlwapi user32 userenv uxtheme version winmm winspool.drv ws2_32
    wtsapi32 api-ms-win-core-synch-l1-2-0 api-ms-win-core-winrt-l1-1-0 api-ms-win-core-winrt-string-l1-1-0)

function(run out)
    execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE text COMMAND_ERROR_IS_FATAL ANY)
    string(REPLACE "\r" "" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()
function(expect what actual wanted)
    if(NOT actual STREQUAL wanted)
        message(FATAL_ERROR "${what}: ${actual}, not ${wanted}")
    endif()
    message("${what}: ${actual}")
endfunction()
# Its imports are Windows' own DLLs, or these.
function(only_windows_own file)
    run(headers x86_64-w64-mingw32-objdump -p ${file})
    string(REGEX MATCHALL "\tDLL Name: [^\n]+" imports "${headers}")
    list(TRANSFORM imports REPLACE "\tDLL Name: " "")
    list(TRANSFORM imports REPLACE "\\.[dD][lL][lL]$" "")
    list(TRANSFORM imports TOLOWER)
    foreach(dll IN LISTS imports)
        if(NOT dll IN_LIST windows_own AND NOT dll IN_LIST ARGN)
            message(FATAL_ERROR "${file} imports ${dll}, which is not Windows' own")
        endif()
    endforeach()
    message("${file} imports only Windows' own: ${imports}")
endfunction()

only_windows_own(${EXE})
run(headers x86_64-w64-mingw32-objdump -p ${EXE})
string(REGEX MATCH "Subsystem[ \t]+([0-9]+)" subsystem "${headers}")
expect("program's subsystem (2: a GUI program)" "${CMAKE_MATCH_1}" 00000002)
foreach(package SETUP:3500000 MSI:3600000 ZIP:4500000)
    string(REPLACE ":" ";" package ${package})
    list(GET package 0 name)
    list(GET package 1 most)
    file(SIZE ${${name}} size)
    math(EXPR tenths "${size} * 80 / 150000 / 60")
    message("${${name}}: ${size} bytes, ${tenths} tenths of a minute at 150 kbit/s")
    if(size GREATER most)
        message(FATAL_ERROR "${${name}} is larger than ${most} bytes")
    endif()
endforeach()

# The zip: the licences beside the program, stored or deflated (what Explorer unpacks), and whole.
run(listing zipinfo ${ZIP})
foreach(file koerswacht.exe LICENSE.txt THIRD-PARTY-NOTICES.txt)
    if(NOT listing MATCHES " Koerswacht/${file}\n")
        message(FATAL_ERROR "the zip lacks Koerswacht/${file}")
    endif()
endforeach()
string(REPLACE "\n" ";" lines "${listing}")
foreach(line IN LISTS lines)
    string(REGEX REPLACE " +" ";" fields "${line}")
    if(line MATCHES "^-")
        list(GET fields 5 method)
        if(NOT method MATCHES "^(stor|def[NXFS])$")
            message(FATAL_ERROR "the zip holds a member Explorer cannot unpack (${method})")
        endif()
    endif()
endforeach()
run(ignored unzip -tq ${ZIP})

# The MSI package: the zip's files, byte for byte, and the program's own version.
set(work ${MSI}.check)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work}/msi)
file(ARCHIVE_EXTRACT INPUT ${ZIP} DESTINATION ${work}/zip)
execute_process(COMMAND msiextract ${MSI} WORKING_DIRECTORY ${work}/msi OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(GLOB_RECURSE unpacked RELATIVE ${work}/msi ${work}/msi/*)
expect("the MSI package's files" "${unpacked}" "Koerswacht/LICENSE.txt;Koerswacht/THIRD-PARTY-NOTICES.txt;Koerswacht/koerswacht.exe")
foreach(file IN LISTS unpacked)
    file(SHA256 ${work}/zip/${file} zipped)
    file(SHA256 ${work}/msi/${file} packaged)
    expect("${file} in the MSI package is the zip's" ${packaged} ${zipped})
endforeach()
file(READ ${EXE} record HEX)
string(FIND "${record}" "bd04effe" at) # VS_FIXEDFILEINFO's signature
math(EXPR at "${at} + 32")
string(SUBSTRING "${record}" ${at} 16 words) # dwProductVersionMS, LS: little-endian 16-bit words
set(record_version "")
foreach(word 4 0 12 8)
    string(SUBSTRING "${words}" ${word} 4 hex)
    string(SUBSTRING "${hex}" 2 2 high)
    string(SUBSTRING "${hex}" 0 2 low)
    math(EXPR number "0x${high}${low}")
    list(APPEND record_version ${number})
endforeach()
list(JOIN record_version . record_version)

function(row out table key)
    run(text msiinfo export ${MSI} ${table})
    string(REGEX MATCH "\n(${key}\t[^\n]*)" line "${text}")
    string(REPLACE "\t" ";" line "${CMAKE_MATCH_1}")
    set(${out} "${line}" PARENT_SCOPE)
endfunction()
row(version Property ProductVersion)
list(GET version 1 version)
expect("MSI ProductVersion and the program's version record" "${version}.0" ${record_version})
row(file File koerswacht.exe)
list(GET file 4 file_version)
expect("program file's version in the File table" "${file_version}" ${record_version})
row(hash MsiFileHash koerswacht.exe)
expect("program file's hash (versioned files have none)" "${hash}" "")
run(codepage msiinfo export ${MSI} _ForceCodepage)
string(REGEX MATCH "([0-9]+)\t_ForceCodepage" codepage "${codepage}")
expect("string table's code page" "${CMAKE_MATCH_1}" 1252)
run(summary msiinfo suminfo ${MSI})
run(summary_again msiinfo suminfo ${AGAIN})
string(REGEX MATCH "Template: ([^\n]*)" template "${summary}")
expect("platform and language" "${CMAKE_MATCH_1}" "x64;1043")
string(REGEX MATCH "Revision number \\(UUID\\): ([^\n]*)" code "${summary}")
set(code "${CMAKE_MATCH_1}")
string(REGEX MATCH "Revision number \\(UUID\\): ([^\n]*)" again "${summary_again}")
expect("PackageCode, built again" "${CMAKE_MATCH_1}" "${code}")
# The tables as exported, without their three lines of names, types and keys: every row a line
# that starts with a line break, its columns apart by tabs.
foreach(table CustomAction InstallExecuteSequence File Directory Shortcut Registry Component)
    run(rows msiinfo export ${MSI} ${table})
    string(REGEX MATCH "^[^\n]*\n[^\n]*\n[^\n]*(.*)" rows "${rows}")
    set(${table} "${CMAKE_MATCH_1}")
endforeach()
# Immediate actions run as the user who started the package (a validator's ICE68); the take-over
# of a setup copy is deferred (0x400) and not impersonated (0x800), its undoing a rollback action
# (0x100), its removal for good a commit action (0x200).
string(REGEX MATCHALL "\n[^\t\n]+\t[0-9]+" actions "${CustomAction}")
set(kinds "")
foreach(action IN LISTS actions)
    string(REGEX MATCH "\n([^\t]+)\t([0-9]+)" action "${action}")
    set(name ${CMAKE_MATCH_1})
    math(EXPR kind "${CMAKE_MATCH_2} & 0x0F00")
    if(kind EQUAL 0x800 OR name MATCHES "SetupCopy$")
        list(APPEND kinds "${name}:${kind}")
    endif()
endforeach()
expect("the setup copy's actions and every action not impersonated, with their kinds" "${kinds}"
       "CheckSetupCopy:0;RollbackSetupCopy:3328;TakeOverSetupCopy:3072;CommitSetupCopy:3584")
# The older version's removal right after InstallInitialize, with nothing between that writes to
# the script (ICE63), so that it is rolled back with the rest; a rollback action before the action
# it undoes; the setup copy set aside before the components are processed and the files come.
string(REGEX MATCHALL "\n[^\t\n]+\t[^\t\n]*\t[0-9]+" steps "${InstallExecuteSequence}")
set(order "")
foreach(step IN LISTS steps)
    string(REGEX MATCH "\n([^\t]+)\t[^\t]*\t([0-9]+)" step "${step}")
    math(EXPR number "100000 + ${CMAKE_MATCH_2}") # sorted as text
    list(APPEND order "${number}:${CMAKE_MATCH_1}")
endforeach()
list(SORT order)
list(TRANSFORM order REPLACE "^[0-9]+:" "")
list(FIND order InstallInitialize at)
list(SUBLIST order ${at} 6 script)
expect("the script's first steps" "${script}"
       "InstallInitialize;RemoveExistingProducts;RollbackSetupCopy;TakeOverSetupCopy;CommitSetupCopy;ProcessComponents")
# A short name (8.3) before every long name of a file, folder or shortcut (ICE03), the root
# "SourceDir" and "." excepted.
set(allowed "[A-Za-z0-9_~!#$%&'(){}@^`-]")
set(without_short "")
foreach(table File Directory Shortcut)
    string(REGEX MATCHALL "\n[^\t\n]+\t[^\t\n]*\t[^\t\n]+" names "${${table}}")
    foreach(name IN LISTS names)
        string(REGEX REPLACE ".*\t" "" name "${name}")
        string(REGEX REPLACE "[|:].*" "" short "${name}") # before the long name, and a folder's source
        string(REGEX MATCH "^(${allowed}+)([.]${allowed}+)?$" short "${short}")
        string(LENGTH "${CMAKE_MATCH_1}:${CMAKE_MATCH_2}" length) # at most 8, a colon and 4
        if((NOT short OR length GREATER 13 OR CMAKE_MATCH_1 MATCHES ".........") AND NOT name MATCHES "^(SourceDir|[.])$")
            list(APPEND without_short "${name}")
        endif()
    endforeach()
endforeach()
expect("long names without a short one" "${without_short}" "")
# The shortcut's component keeps its key path in the registry under -1: HKLM in this per-machine
# package, and what a validator asks (ICE43).
string(REGEX MATCH "\nStartMenuShortcut\t[^\t]*\t[^\t]*\t[^\t]*\t[^\t]*\t([^\t\n]+)" ignored "${Component}")
string(REGEX MATCH "\n${CMAKE_MATCH_1}\t([^\t]+)" ignored "${Registry}")
expect("the root of the shortcut's component's key path" "${CMAKE_MATCH_1}" -1)

# Its PackageCode: the same for the package built again, another for a package with one row changed.
file(COPY_FILE ${MSI} ${work}/changed.msi)
execute_process(COMMAND msibuild ${work}/changed.msi
                -q "UPDATE `InstallExecuteSequence` SET `Condition` = 'SETUPCOPY' WHERE `Action` = 'CheckSetupCopy'"
                COMMAND_ERROR_IS_FATAL ANY)
block()
    set(MSI ${work}/changed.msi)
    include(${CMAKE_CURRENT_LIST_DIR}/PackageCode.cmake)
endblock()
run(changed msiinfo suminfo ${work}/changed.msi)
string(REGEX MATCH "Revision number \\(UUID\\): ([^\n]*)" changed "${changed}")
if(CMAKE_MATCH_1 STREQUAL code)
    message(FATAL_ERROR "a package with one row changed has the same PackageCode, ${code}")
endif()
message("PackageCode with one row changed: ${CMAKE_MATCH_1}, not ${code}")
row(location CustomAction SetInstallLocation)
list(SUBLIST location 2 2 location)
expect("entry's install location" "${location}" "ARPINSTALLLOCATION;[INSTALLDIR]")
row(kept AppSearch SAVEDINSTALLDIR)
expect("folder kept for upgrades, looked up as" "${kept}" "SAVEDINSTALLDIR;SavedInstallDir")
file(MAKE_DIRECTORY ${work}/binary)
execute_process(COMMAND msiinfo extract ${MSI} Binary.MsiChecks OUTPUT_FILE ${work}/binary/msi-checks.dll
                COMMAND_ERROR_IS_FATAL ANY)
only_windows_own(${work}/binary/msi-checks.dll msi) # Windows Installer's own, which loads it
file(REMOVE_RECURSE ${work})
