# Where an installed Orvane puts its files, relative to the install prefix. The programs find
# their data (the menu script) beside their own executable, resolved through /proc/self/exe, so
# the executables and their data share one folder and bin/ holds relative links to them: the
# tree can then be moved as a whole (DESTDIR, a package) and a program called through its link
# still finds its menu.
set(ORVANE_INSTALL_BIN_DIR bin)
if(WIN32)
    # No links there: the programs and their data sit in bin/ itself.
    set(ORVANE_INSTALL_PROGRAM_DIR bin)
else()
    set(ORVANE_INSTALL_PROGRAM_DIR lib/orvane)
endif()
set(ORVANE_INSTALL_MAN_DIR share/man/man1)
set(ORVANE_INSTALL_COMPLETION_DIR share/bash-completion/completions)
set(ORVANE_INSTALL_DOC_DIR share/doc/orvane)

# The manual pages as the build makes them, for tests to read.
set(ORVANE_MAN_BUILD_DIR ${PROJECT_BINARY_DIR}/man)

# orvane_install_link(<name> <target path> <destination>): a relative symbolic link,
# made in the build tree and installed as a link.
function(orvane_install_link name target destination)
    set(link ${PROJECT_BINARY_DIR}/install-links/${destination}/${name})
    get_filename_component(folder ${link} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK ${target} ${link} SYMBOLIC)
    install(FILES ${link} DESTINATION ${destination})
endfunction()

# orvane_install_program(<target>): a program users run, into the program folder, with its
# link in bin/.
function(orvane_install_program target)
    install(TARGETS ${target} RUNTIME DESTINATION ${ORVANE_INSTALL_PROGRAM_DIR})
    if(NOT ORVANE_INSTALL_PROGRAM_DIR STREQUAL ORVANE_INSTALL_BIN_DIR)
        file(RELATIVE_PATH target_path /${ORVANE_INSTALL_BIN_DIR}
             /${ORVANE_INSTALL_PROGRAM_DIR}/${target})
        orvane_install_link(${target} ${target_path} ${ORVANE_INSTALL_BIN_DIR})
    endif()
endfunction()
