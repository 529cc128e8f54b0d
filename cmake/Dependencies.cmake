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
        list(REMOVE_DUPLICATES missingPackages)
        list(JOIN missingTargets ", " targets)
        list(JOIN missingPackages " " packages)
        message(FATAL_ERROR
            "${package} not found (${targets}). Install the Debian package(s): ${packages}\n"
            "  sudo apt-get install ${packages}\n"
            "scripts/setup.sh installs everything the build and the tests need.")
    endif()
endfunction()

find_package(Threads REQUIRED)
orvane_require(fmt TARGETS fmt::fmt=libfmt-dev)
orvane_require(OpenGL COMPONENTS OpenGL GLX
    TARGETS OpenGL::GL=libgl-dev OpenGL::OpenGL=libopengl-dev OpenGL::GLX=libglx-dev)
orvane_require(X11 TARGETS X11::X11=libx11-dev X11::Xtst=libxtst-dev)
orvane_require(PNG TARGETS PNG::PNG=libpng-dev)
if(ORVANE_TESTS)
    orvane_require(GTest TARGETS GTest::gtest=libgtest-dev GTest::gtest_main=libgtest-dev
                                 GTest::gmock=libgmock-dev)
endif()
if(ORVANE_BENCH)
    orvane_require(benchmark TARGETS benchmark::benchmark=libbenchmark-dev)
endif()
