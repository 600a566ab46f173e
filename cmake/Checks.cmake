# Checks beyond the tests, as targets of the default build:
#   lint: clang-tidy (.clang-tidy) over every source of ours this build compiles, every header of
#         ours included (Lint.cmake, which passes over sources found clean before), and cppcheck
#         over the program's; any finding fails.
#   bench: the benchmarks (KOERSWACHT_BENCH=ON), start-up under Xvfb and the two calculations.
set(lint_sources "")
foreach(folder core report print sysinfo ui app tests bench scripts)
    file(GLOB_RECURSE found ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
    list(APPEND lint_sources ${found})
endforeach()
# Not compiled here: the fuzz target (its own build), and what is Windows' only.
list(FILTER lint_sources EXCLUDE REGEX "/tests/fuzz/|Win\\.cpp$|Spooler|RefusalWatch")
find_program(RUN_CLANG_TIDY NAMES run-clang-tidy run-clang-tidy-14)
string(REPLACE ";" "|" lint_sources "${lint_sources}")
add_custom_target(lint
    COMMAND ${CMAKE_COMMAND} -DTOP=${PROJECT_SOURCE_DIR} -DBUILD=${PROJECT_BINARY_DIR} -DTIDY=${RUN_CLANG_TIDY}
            -DSOURCES=${lint_sources} -P ${PROJECT_SOURCE_DIR}/cmake/Lint.cmake
    COMMAND cppcheck --quiet --error-exitcode=1 --inline-suppr --std=c++20 --language=c++ --library=qt
            --enable=warning,performance,portability --suppress=missingIncludeSystem
            -I ${PROJECT_BINARY_DIR}/generated -D__GNUC__ -DQ_OBJECT= "-DQ_DISABLE_COPY_MOVE(x)=" -UWIN32 -U_WIN32
            core report print sysinfo ui app
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} VERBATIM)
# The generated layouts and meta-object code must be there first.
add_dependencies(lint koerswacht tst_printservers)

if(KOERSWACHT_BENCH AND TARGET bench_startup)
    set(xvfb xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=xcb
             DBUS_SESSION_BUS_ADDRESS=disabled:)
    set(startup $<TARGET_FILE:bench_startup> 15 Koerswacht $<TARGET_FILE:koerswacht> Floor)
    add_custom_target(bench
        COMMAND ${CMAKE_COMMAND} -E echo "== calculations (offscreen), 2000 clicks"
        COMMAND ${CMAKE_COMMAND} -E env DBUS_SESSION_BUS_ADDRESS=disabled: $<TARGET_FILE:bench_calculations> 2000
        COMMAND ${CMAKE_COMMAND} -E echo "== start-up until the main window is mapped and painted (Xvfb)"
        COMMAND ${xvfb} ${startup} $<TARGET_FILE:bench_floor>
        COMMAND ${CMAKE_COMMAND} -E echo "== against the floor with the main menu's captions and font faces"
        COMMAND ${xvfb} ${startup} $<TARGET_FILE:bench_floor_fonts>
        COMMAND ${CMAKE_COMMAND} -E echo "== held to one core (start-up overlaps work on a second one)"
        COMMAND ${xvfb} taskset -c 0 ${startup} $<TARGET_FILE:bench_floor>
        COMMAND_EXPAND_LISTS VERBATIM)
endif()
