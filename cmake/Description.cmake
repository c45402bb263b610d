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
