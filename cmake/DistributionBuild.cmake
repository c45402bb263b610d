# SPDX-License-Identifier: GPL-3.0-or-later
# A build as the distribution builds its own packages. With TARNHOLD_DISTRIBUTION_BUILD on,
# everything compiles and links with the flags dpkg-buildflags gives with every hardening feature
# enabled, asked of dpkg-buildflags itself so that they follow the distribution, and with the
# source and build folders mapped out of what is compiled. Configure with
# -DCMAKE_BUILD_TYPE=None, as Debian does, so that no build type adds flags of its own.
# tarnhold_strip_on_install() strips an installed program as Debian's dh_strip does.
option(TARNHOLD_DISTRIBUTION_BUILD
    "Compile and link with dpkg-buildflags' hardened flags and strip the installed program" OFF)

# The folder names that compiled code gives instead of the real ones, so that two builds in two
# folders give the same bytes.
set(TARNHOLD_MAPPED_SOURCE_DIR .)
set(TARNHOLD_MAPPED_BINARY_DIR build)

# dpkg-buildflags' value of VARIABLE (CPPFLAGS, CXXFLAGS, LDFLAGS), every hardening feature on.
# It maps the folder it runs in to "." when the distribution builds reproducibly, so it runs in
# the source folder.
function(tarnhold_dpkg_buildflags out variable)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${TARNHOLD_DPKG_BUILDFLAGS} --get ${variable}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    set(${out} "${flags}" PARENT_SCOPE)
endfunction()

if(TARNHOLD_DISTRIBUTION_BUILD)
    find_program(TARNHOLD_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
    tarnhold_dpkg_buildflags(cppflags CPPFLAGS)
    tarnhold_dpkg_buildflags(cxxflags CXXFLAGS)
    tarnhold_dpkg_buildflags(ldflags LDFLAGS)
    # CMake reads no CPPFLAGS; Debian's own CMake builds put them before CXXFLAGS too.
    set(compile_flags "${cppflags} ${cxxflags}")
    # A distribution that does not map the folder it builds in yet is given the map here. The
    # build folder is mapped last, so that it wins over the source folder when inside it.
    if(NOT compile_flags MATCHES "-ffile-prefix-map=")
        string(APPEND compile_flags
            " -ffile-prefix-map=${PROJECT_SOURCE_DIR}=${TARNHOLD_MAPPED_SOURCE_DIR}")
    endif()
    if(NOT PROJECT_BINARY_DIR STREQUAL PROJECT_SOURCE_DIR)
        string(APPEND compile_flags
            " -ffile-prefix-map=${PROJECT_BINARY_DIR}=${TARNHOLD_MAPPED_BINARY_DIR}")
    endif()
    string(APPEND CMAKE_CXX_FLAGS " ${compile_flags}")
    string(APPEND CMAKE_EXE_LINKER_FLAGS " ${ldflags}")
    string(APPEND CMAKE_SHARED_LINKER_FLAGS " ${ldflags}")
    string(APPEND CMAKE_MODULE_LINKER_FLAGS " ${ldflags}")
    message(STATUS "Distribution flags: ${compile_flags}; linking with ${ldflags}")
    if(NOT CMAKE_BUILD_TYPE STREQUAL "None")
        string(TOUPPER "${CMAKE_BUILD_TYPE}" type)
        message(WARNING "The ${CMAKE_BUILD_TYPE} build type adds '${CMAKE_CXX_FLAGS_${type}}' "
            "after the distribution's flags: configure with -DCMAKE_BUILD_TYPE=None for theirs "
            "alone.")
    endif()
endif()

# Strips TARGET's installed program as dh_strip does: no symbols, and neither the compiler's
# .comment section nor the .note section, which lintian flags as unneeded. The other notes (the
# build id, the ABI tag, the properties that mark control-flow protection) stay. It happens in a
# distribution build and on `cmake --install --strip`.
function(tarnhold_strip_on_install target destination)
    if(NOT CMAKE_STRIP)
        message(FATAL_ERROR "No strip program found to strip ${target} on install")
    endif()
    set(file "\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/$<TARGET_FILE_NAME:${target}>")
    set(strip "execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
        --remove-section=.note \"${file}\" COMMAND_ERROR_IS_FATAL ANY)")
    if(TARNHOLD_DISTRIBUTION_BUILD)
        install(CODE "${strip}")
    else()
        install(CODE "if(CMAKE_INSTALL_DO_STRIP)\n    ${strip}\nendif()")
    endif()
endfunction()
