# Documents installed compressed, as Debian wants them: gzip -9 without a name or time stamp,
# so that two builds give the same bytes. Where gzip is missing (a Windows build), nothing is
# installed: the pages are for Unix systems.
include_guard(GLOBAL)
find_program(BREVORN_GZIP gzip)

# Installs FILE as DESTINATION/NAME.gz, made at build time.
function(brevorn_install_gzipped file destination name)
    if(WIN32 OR NOT BREVORN_GZIP)
        return()
    endif()
    set(copy ${CMAKE_CURRENT_BINARY_DIR}/compressed/${name})
    configure_file(${file} ${copy} COPYONLY)
    add_custom_command(OUTPUT ${copy}.gz
        COMMAND ${BREVORN_GZIP} -9 -n -k -f ${copy}
        DEPENDS ${copy}
        VERBATIM)
    add_custom_target(gzip-${name} ALL DEPENDS ${copy}.gz)
    install(FILES ${copy}.gz DESTINATION ${destination})
endfunction()

# A manual page from PAGE.SECTION.in with @PROJECT_VERSION@ filled in, installed in
# share/man/manSECTION.
function(brevorn_manual_page template)
    string(REGEX REPLACE "\\.in$" "" page ${template})
    string(REGEX MATCH "[1-9]$" section ${page})
    configure_file(${template} ${CMAKE_CURRENT_BINARY_DIR}/${page} @ONLY)
    brevorn_install_gzipped(${CMAKE_CURRENT_BINARY_DIR}/${page} ${CMAKE_INSTALL_MANDIR}/man${section} ${page})
endfunction()
