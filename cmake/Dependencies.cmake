# Every outside library the build links, found once here so that all folders see the same
# imported targets. A missing one stops the configuration with the Debian package to install,
# instead of CMake's generic "target was not found" at the first target that links it.

# orvane_require(<package> [COMPONENTS <c>...] TARGETS <target>=<debian package>...)
function(orvane_require package)
    cmake_parse_arguments(R "" "" "COMPONENTS;TARGETS" ${ARGN})
    if(R_COMPONENTS)
        find_package(${package} QUIET COMPONENTS ${R_COMPONENTS})
    else()
        find_package(${package} QUIET)
    endif()
    set(missingTargets)
    set(missingPackages)
    foreach(pair IN LISTS R_TARGETS)
        string(REPLACE "=" ";" pair "${pair}")
        list(GET pair 0 target)
        list(GET pair 1 debianPackage)
        if(NOT TARGET ${target})
            list(APPEND missingTargets ${target})
            list(APPEND missingPackages ${debianPackage})
        endif()
    endforeach()
    if(missingTargets)
        list(JOIN missingTargets ", " targets)
        orvane_missing("${package} not found (${targets})" ${missingPackages})
    endif()
endfunction()

# orvane_missing(<what> <debian package>...): stops with the packages to install.
function(orvane_missing what)
    set(packages ${ARGN})
    list(REMOVE_DUPLICATES packages)
    list(JOIN packages " " packages)
    message(FATAL_ERROR
        "${what}. Install the Debian package(s): ${packages}\n"
        "  sudo apt-get install ${packages}\n"
        "scripts/setup.sh installs everything the build and the tests need.")
endfunction()

find_package(Threads REQUIRED)

if(WIN32)
    # Cross build with mingw-w64 (cmake/mingw-w64-x86_64.cmake). Debian ships no Windows
    # builds of the libraries, so they come from their host packages as sources: {fmt} used
    # header-only, GoogleTest compiled here with the cross compiler.

    # {fmt}: only its own folder is put on the include path, through a link in the build
    # tree, so that no other host header can be picked up by the cross compiler.
    find_path(ORVANE_FMT_HEADERS fmt/core.h PATHS /usr/include NO_DEFAULT_PATH
              NO_CMAKE_FIND_ROOT_PATH)
    if(NOT ORVANE_FMT_HEADERS)
        orvane_missing("{fmt} headers not found (fmt/core.h)" libfmt-dev)
    endif()
    set(fmtHeaders ${CMAKE_BINARY_DIR}/host-headers)
    file(MAKE_DIRECTORY ${fmtHeaders})
    file(CREATE_LINK ${ORVANE_FMT_HEADERS}/fmt ${fmtHeaders}/fmt SYMBOLIC)
    add_library(fmt::fmt INTERFACE IMPORTED)
    target_include_directories(fmt::fmt SYSTEM INTERFACE ${fmtHeaders})
    target_compile_definitions(fmt::fmt INTERFACE FMT_HEADER_ONLY)

    if(ORVANE_TESTS)
        set(googletestSources /usr/src/googletest)
        if(NOT EXISTS ${googletestSources}/CMakeLists.txt)
            orvane_missing("GoogleTest sources not found (${googletestSources})" googletest)
        endif()
        set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
        set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
        # Its own code is not held to this project's warnings.
        add_subdirectory(${googletestSources} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL
                         SYSTEM)
        foreach(target gtest gtest_main gmock gmock_main)
            set_property(TARGET ${target} PROPERTY COMPILE_OPTIONS -w)
        endforeach()

        # Tests run under Wine, in a prefix of their own inside the build tree (made on first
        # use; scripts/windows-tests.sh makes it and keeps one wineserver for the whole run).
        find_program(ORVANE_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
        if(NOT ORVANE_WINE64)
            orvane_missing("Wine not found (wine64)" wine wine64)
        endif()
        set(ORVANE_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
        # Without a UTF-8 locale Wine garbles arguments that are not ASCII; a new prefix is
        # made without offers to install Mono or Gecko.
        set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${ORVANE_WINEPREFIX} LANG=C.UTF-8
            LC_ALL=C.UTF-8 WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml="
            ${ORVANE_WINE64})
    endif()
    return()
endif()

orvane_require(fmt TARGETS fmt::fmt=libfmt-dev)
if(ORVANE_WINDOW_BACKEND STREQUAL "x11")
    orvane_require(OpenGL COMPONENTS OpenGL GLX
        TARGETS OpenGL::GL=libgl-dev OpenGL::OpenGL=libopengl-dev OpenGL::GLX=libglx-dev)
    orvane_require(X11 TARGETS X11::X11=libx11-dev X11::Xtst=libxtst-dev)
    orvane_require(PNG TARGETS PNG::PNG=libpng-dev)
endif()
if(ORVANE_TESTS)
    orvane_require(GTest TARGETS GTest::gtest=libgtest-dev GTest::gtest_main=libgtest-dev
                                 GTest::gmock=libgmock-dev)
endif()
if(ORVANE_BENCH)
    orvane_require(benchmark TARGETS benchmark::benchmark=libbenchmark-dev)
endif()
