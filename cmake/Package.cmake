# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package "tarnhold": what `cmake --install` lays out, under /usr. The stand-in
# utilities and the demo Oracle home are not installed, so they stay out of it.
set(CPACK_GENERATOR DEB)
# The description quotes the README, quotation marks and all.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME tarnhold)
set(CPACK_PACKAGE_VENDOR Tarnhold)
set(CPACK_PACKAGE_CONTACT "Tarnhold developers <tarnhold@users.noreply.github.com>"
    CACHE STRING "The package's maintainer")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${TARNHOLD_SUMMARY}")

# Breaks TEXT at blanks into lines of at most WIDTH characters; a longer word keeps a line of its
# own.
function(tarnhold_wrap out text width)
    set(wrapped "")
    string(LENGTH "${text}" length)
    while(length GREATER width)
        string(SUBSTRING "${text}" 0 ${width} head)
        string(SUBSTRING "${text}" ${width} 1 next)
        if(next STREQUAL " ")
            set(cut ${width})
        else()
            string(FIND "${head}" " " cut REVERSE)
            if(cut LESS 1)
                string(FIND "${text}" " " cut)
                if(cut LESS 0)
                    break()
                endif()
            endif()
        endif()
        string(SUBSTRING "${text}" 0 ${cut} line)
        math(EXPR rest "${cut} + 1")
        string(SUBSTRING "${text}" ${rest} -1 text)
        string(APPEND wrapped "${line}\n")
        string(LENGTH "${text}" length)
    endwhile()
    set(${out} "${wrapped}${text}" PARENT_SCOPE)
endfunction()

# Debian shows the extended description on 80-column terminals, each line after one blank
# that CPack puts in front.
string(REPLACE "`" "" description "${TARNHOLD_DESCRIPTION}")
tarnhold_wrap(CPACK_PACKAGE_DESCRIPTION "${description}" 78)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

# The same tree gives the same bytes, whoever builds it and whenever. Every time stamp in the
# archives is the release's date from debian/changelog, unless the builder sets SOURCE_DATE_EPOCH
# (CPack reads it when it writes them). CPack takes the modes of folders and archive members from
# the files it writes, so a umask other than 022 would make a package that differs, or whose
# folders only root can open: cpack stops then.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/PackageSettings.cmake)
file(CONFIGURE OUTPUT ${CPACK_PROJECT_CONFIG_FILE} CONTENT [[
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    set(ENV{SOURCE_DATE_EPOCH} @TARNHOLD_RELEASE_EPOCH@)
endif()
execute_process(COMMAND sh -c umask OUTPUT_VARIABLE umask OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT umask MATCHES "^0*22$")
    message(FATAL_ERROR "The package is built with umask 022, not ${umask}: run umask 022 first.")
endif()
]] @ONLY)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TARNHOLD_HOMEPAGE})
# The libraries the program links, with their versions, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
