# SPDX-License-Identifier: GPL-3.0-or-later
# tarnhold_install_gzipped(TARGET FILE DESTINATION): installs FILE as FILE.gz, compressed at build
# time by TARGET with gzip -9n: the best compression, and neither the file's name nor a time in
# the header, so every build gives the same bytes.
find_program(GZIP gzip REQUIRED)

function(tarnhold_install_gzipped target file destination)
    get_filename_component(name ${file} NAME)
    set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
    add_custom_command(OUTPUT ${compressed}
        COMMAND ${GZIP} -9n --stdout ${file} > ${compressed}
        DEPENDS ${file} VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${compressed})
    install(FILES ${compressed} DESTINATION ${destination})
endfunction()
