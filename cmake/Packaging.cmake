# The package an installation is shipped in, made by CPack from the install rules
# (scripts/package.sh). Which generator each platform gets is said here, once; the settings of
# each generator follow.

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    set(CPACK_GENERATOR DEB)
elseif(WIN32)
    set(CPACK_GENERATOR ZIP)
endif()

set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VENDOR "Orvane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer of rigid-body pose and spline trajectories")
# Debian shows lines of at most 80 characters, each indented by one blank.
set(CPACK_PACKAGE_DESCRIPTION "\
Orvane reads pose and spline trajectories of rigid bodies (robots, cameras,\n\
motion capture), reports on them, derives velocities and accelerations,\n\
writes dynamics logs and shows every trajectory in one interactive 3-D\n\
OpenGL window with an orbit camera, a console and a menu. orvane-record\n\
turns the window's frames into PNG files or a video; orvane-convert\n\
converts TUM, KITTI and EuRoC trajectories to Orvane's pose files.")
set(ORVANE_PACKAGE_MAINTAINER "Orvane maintainers <maintainers@orvane.invalid>"
    CACHE STRING "The Maintainer field of the Debian package")

if("DEB" IN_LIST CPACK_GENERATOR)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # orvane_<version>_<architecture>.deb
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ORVANE_PACKAGE_MAINTAINER})
    set(CPACK_DEBIAN_PACKAGE_SECTION science)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # The libraries the programs link, as dpkg-shlibdeps finds them; and what they need at run
    # time without linking it: Mesa's software renderer, so that the window opens without a GPU.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri")
    # orvane-record runs ffmpeg for videos only; PNG frames work without it.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

if("ZIP" IN_LIST CPACK_GENERATOR)
    # orvane-<version>-windows-x86_64.zip, unpacking into a folder of the same name: bin/ with
    # the programs and the menu script beside them, share/doc/orvane/ with the README, the
    # examples and the licences of the runtime linked into the programs.
    set(CPACK_PACKAGE_FILE_NAME orvane-${PROJECT_VERSION}-windows-x86_64)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()

include(CPack)
