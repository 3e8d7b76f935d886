# Writes the 32-bit Windows import library of a stdcall DLL whose exports are
# undecorated (linked with --kill-at). The linker's own import library then
# carries undecorated symbols, which a stdcall caller ("_Name@N") cannot link
# against. This script takes the decorated names the compiler emitted for
# each export (the -export directives of the objects), pairs them with the
# names and ordinals of the .def file, and has dlltool write an import library
# whose symbols are "_Name@N" and whose imports name "Name".
#
# Run with cmake -P and these variables:
#   DLLTOOL   the target's dlltool
#   DEF       the .def file (undecorated "Name @Ordinal" lines)
#   DLL_NAME  the DLL file name the import library points at
#   OBJECTS   "|"-separated object files holding the exported functions
#   OUT_DEF   the decorated .def written here
#   OUT_LIB   the import library written here
cmake_minimum_required(VERSION 3.20)
foreach(var DLLTOOL DEF DLL_NAME OBJECTS OUT_DEF OUT_LIB)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "StdcallImportLibrary: ${var} is not set")
  endif()
endforeach()

# The decorated names the compiler exported.
string(REPLACE "|" ";" object_files "${OBJECTS}")
execute_process(COMMAND ${DLLTOOL} --output-def ${OUT_DEF}.objects ${object_files}
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dlltool could not read the export directives: ${err}")
endif()
file(STRINGS ${OUT_DEF}.objects object_lines REGEX "^[ \t]+[A-Za-z_][A-Za-z0-9_]*@[0-9]+")
set(decorated_names "")
foreach(line ${object_lines})
  string(REGEX MATCH "([A-Za-z_][A-Za-z0-9_]*)@([0-9]+)" _ "${line}")
  set(bytes_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
  list(APPEND decorated_names ${CMAKE_MATCH_1})
endforeach()

# The names and ordinals the DLL exports, in .def order.
file(STRINGS ${DEF} def_lines REGEX "^[ \t]+[A-Za-z_][A-Za-z0-9_]*[ \t]+@[0-9]+")
set(out "; Generated from ${DEF} and the compiled export directives.\nLIBRARY ${DLL_NAME}\nEXPORTS\n")
set(def_names "")
foreach(line ${def_lines})
  string(REGEX MATCH "([A-Za-z_][A-Za-z0-9_]*)[ \t]+@([0-9]+)" _ "${line}")
  set(name ${CMAKE_MATCH_1})
  set(ordinal ${CMAKE_MATCH_2})
  if(NOT DEFINED bytes_${name})
    message(FATAL_ERROR "${name} is in ${DEF} but no object exports it as stdcall")
  endif()
  list(APPEND def_names ${name})
  string(APPEND out "  ${name}@${bytes_${name}} @${ordinal}\n")
endforeach()
foreach(name ${decorated_names})
  if(NOT name IN_LIST def_names)
    message(FATAL_ERROR "${name} is exported by the objects but missing from ${DEF}")
  endif()
endforeach()
file(WRITE ${OUT_DEF} "${out}")
file(REMOVE ${OUT_DEF}.objects)

execute_process(COMMAND ${DLLTOOL} --kill-at --input-def ${OUT_DEF} --dllname ${DLL_NAME} --output-lib ${OUT_LIB}
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dlltool could not write ${OUT_LIB}: ${err}")
endif()
