# SPDX-License-Identifier: GPL-3.0-or-later
# The program's description is the README's opening paragraph, on one line, as
# TARNHOLD_DESCRIPTION; `names` in back quotes keep their quotes. The home page comes with it.
file(READ ${PROJECT_SOURCE_DIR}/README.md readme)
string(REGEX MATCH "\n\n([^\n]+\n)+" opening "${readme}")
string(STRIP "${opening}" opening)
string(REPLACE "\n" " " TARNHOLD_DESCRIPTION "${opening}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md)

# One line for menus, package lists and the manual page's NAME.
set(TARNHOLD_SUMMARY "Run the database export and import utilities exp and imp from one window")

set(TARNHOLD_HOMEPAGE "https://github.com/tarnhold/tarnhold"
    CACHE STRING "The project's home page; the software centre fetches the screenshot from it")

# Who holds the copyright, as --version prints it: the copyright file's first Copyright field.
set(copyright_file ${PROJECT_SOURCE_DIR}/debian/copyright)
file(STRINGS ${copyright_file} holder REGEX "^Copyright: " LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright: " "" TARNHOLD_COPYRIGHT "${holder}")

# Every release has its notes: the changelog's latest entry is this version's. Its date
# (RFC 2822, as the changelog writes it) dates the manual page, so rebuilds give the same page.
set(changelog ${PROJECT_SOURCE_DIR}/debian/changelog)
file(STRINGS ${changelog} heading LIMIT_COUNT 1)
string(REGEX MATCH "^tarnhold \\(([^)]+)\\)" heading "${heading}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "debian/changelog's latest entry is for '${CMAKE_MATCH_1}', the project "
        "is at ${PROJECT_VERSION}: write the notes of this release first.")
endif()
file(STRINGS ${changelog} trailer REGEX "^ -- .*>  " LIMIT_COUNT 1)
string(REGEX REPLACE "^ -- .*>  " "" release_date "${trailer}")
execute_process(COMMAND date --date=${release_date} +%s OUTPUT_VARIABLE TARNHOLD_RELEASE_EPOCH
    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${copyright_file} ${changelog})
