# Fails when a switch that the program accepts is missing from its manual page.
# The switches are read from the program itself: the names its command-line
# code compares against, the "--name" words it looks for, the entries of its
# table of switches, and the switches its English help text shows.
# Run as: cmake -DSOURCE_DIR=<src> -DPACK=<1033.xml> -DMANPAGE=<vorlix.1> -P CheckManPage.cmake
cmake_minimum_required(VERSION 3.22)
file(GLOB_RECURSE sources ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.h)
set(names "")
foreach(source IN LISTS sources)
  file(READ ${source} text)
  # word.name == "auto", "auto" == word.name
  string(REGEX MATCHALL "name[ \t\r\n]*==[ \t\r\n]*\"[A-Za-z]+\"" found "${text}")
  string(REGEX MATCHALL "\"[A-Za-z]+\"[ \t\r\n]*==[ \t\r\n]*[A-Za-z_.>()-]*name[^A-Za-z_]" more "${text}")
  # "--version" looked for as a whole word
  string(REGEX MATCHALL "\"--[a-z]+\"" dashed "${text}")
  # the command line's table: {"sourcefile", Switch::SourceFile, true}
  string(REGEX MATCHALL "{\"[A-Za-z]+\",[ \t\r\n]*Switch::" declared "${text}")
  foreach(match IN LISTS found more dashed declared)
    string(REGEX REPLACE "^[^\"]*\"-*([A-Za-z]+)\".*$" "\\1" name "${match}")
    string(TOLOWER "${name}" name)
    list(APPEND names ${name})
  endforeach()
endforeach()

# The help text: "/sourcefile:PATH", "--auto", "-h" and the like; a path such
# as "/home/user/a.zip" is no switch.
file(READ ${PACK} pack)
string(REGEX MATCHALL "[ >(](/|--?)[A-Za-z]+([:=,;) <]|$)" shown "${pack}")
foreach(match IN LISTS shown)
  string(REGEX REPLACE "^.[/-]+([A-Za-z]+).*$" "\\1" name "${match}")
  string(TOLOWER "${name}" name)
  list(APPEND names ${name})
endforeach()
list(REMOVE_DUPLICATES names)
list(SORT names)

# A reading that no longer finds today's switches is a broken test, not a pass.
foreach(known sourcefile auto help version)
  if(NOT known IN_LIST names)
    message(FATAL_ERROR "The switch \"${known}\" was not found in ${SOURCE_DIR} or ${PACK}; "
                        "the way switches are read by this test needs updating. Found: ${names}")
  endif()
endforeach()

file(READ ${MANPAGE} manual)
set(missing "")
foreach(name IN LISTS names)
  if(NOT manual MATCHES "(/|-)${name}([^A-Za-z]|$)")
    list(APPEND missing ${name})
  endif()
endforeach()
if(missing)
  list(JOIN missing ", " missing)
  message(FATAL_ERROR "Switches missing from ${MANPAGE}: ${missing}")
endif()
message(STATUS "Switches documented: ${names}")
