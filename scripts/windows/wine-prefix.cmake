# Makes the Wine prefix $WINEPREFIX for the tests and benchmarks: Wine's metric twins of Arial and
# Arial Narrow (it has no Arial of its own), and unmanaged windows, since no window manager runs on
# the test display (Wine would otherwise wait two seconds at every window it hides). Where $LOCPATH
# is set, it also makes the Dutch locale there for Linux's side: with it Wine names files in UTF-8,
# as with no locale it does not, and the machine's own locales stay as they are.
#   cmake [-DREMOVE=ON] -P wine-prefix.cmake    (REMOVE: stops what runs in it and removes it)
if(NOT "$ENV{WINEPREFIX}" MATCHES "^/.")
    message(FATAL_ERROR "WINEPREFIX is not a folder: '$ENV{WINEPREFIX}'")
endif()
execute_process(COMMAND /usr/lib/wine/wineserver -k ERROR_QUIET)
file(REMOVE_RECURSE $ENV{WINEPREFIX})
if(REMOVE)
    return()
endif()
if(DEFINED ENV{LOCPATH} AND NOT EXISTS $ENV{LOCPATH}/nl_NL.UTF-8)
    file(MAKE_DIRECTORY $ENV{LOCPATH})
    execute_process(COMMAND localedef -i nl_NL -f UTF-8 $ENV{LOCPATH}/nl_NL.UTF-8 COMMAND_ERROR_IS_FATAL ANY)
endif()
set(reg /usr/lib/wine/wine64 reg add)
execute_process(COMMAND /usr/lib/wine/wine64 wineboot -i OUTPUT_QUIET ERROR_QUIET)
execute_process(COMMAND ${reg} HKCU\\Software\\Wine\\Fonts\\Replacements /v Arial /t REG_SZ /d "Liberation Sans" /f
                COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)
execute_process(COMMAND ${reg} HKCU\\Software\\Wine\\Fonts\\Replacements /v "Arial Narrow" /t REG_SZ /d "Liberation Sans Narrow" /f
                COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)
execute_process(COMMAND ${reg} "HKCU\\Software\\Wine\\X11 Driver" /v Managed /t REG_SZ /d N /f COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)
execute_process(COMMAND /usr/lib/wine/wineserver -w)
