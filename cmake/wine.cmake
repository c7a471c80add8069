# The one place that finds Wine: the loader of the target (the 32-bit `wine` for i686, `wine64`
# for x86_64) and the wineserver. They are written into the build tree's `wine-run`, through
# which ctest and every script start Windows programs and the server; each tree has its own
# prefix, so the 32-bit and the 64-bit runs never share a prefix or a server.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(KELVO_WINEARCH win64)
    set(loader_name wine64)
else()
    set(KELVO_WINEARCH win32)
    set(loader_name wine)
endif()
# Debian keeps the loaders out of PATH, in /usr/lib/wine; elsewhere they are usually on it.
find_program(KELVO_WINE_LOADER NAMES ${loader_name} PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(KELVO_WINE_LOADER NAMES ${loader_name})
find_program(KELVO_WINESERVER NAMES wineserver PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(KELVO_WINESERVER NAMES wineserver)

if(KELVO_WINE_LOADER AND KELVO_WINESERVER)
    set(KELVO_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    # The simulator's folder, as Wine names it (drive Z:).
    string(REPLACE "/" "\\" KELVO_SIM_DIR "Z:${CMAKE_BINARY_DIR}/sim")
    configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
        WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
    set(KELVO_RUN_TESTS ON)
else()
    message(STATUS "Wine loader ${loader_name} not found: the tests are built, not registered")
    set(KELVO_RUN_TESTS OFF)
endif()
unset(loader_name)
