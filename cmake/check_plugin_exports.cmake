# Checks the built plug-in library from the build machine, without running it:
#   cmake -DOBJDUMP=x86_64-w64-mingw32-objdump -DLIBRARY=bin/Kelvane.aip -P check_plugin_exports.cmake
# Fails unless the export table names exactly one function, PluginMain, and the library imports no
# MinGW runtime DLL (the GCC runtime, libstdc++ and winpthread are linked in statically).
foreach(var OBJDUMP LIBRARY)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_plugin_exports.cmake: -D${var}=... is required")
  endif()
endforeach()
if(NOT EXISTS "${LIBRARY}")
  message(FATAL_ERROR "${LIBRARY} does not exist")
endif()

execute_process(COMMAND "${OBJDUMP}" -p "${LIBRARY}"
  OUTPUT_VARIABLE dump ERROR_VARIABLE dump_errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${LIBRARY} failed (${status}): ${dump_errors}")
endif()
string(REPLACE "\r" "" dump "${dump}")
string(REPLACE ";" "\\;" dump "${dump}")
string(REPLACE "\n" ";" lines "${dump}")

# The names follow the line "[Ordinal/Name Pointer] Table", one "[   n] Name" line each, up to the
# first blank line.
set(names "")
set(in_table FALSE)
set(found_table FALSE)
foreach(line IN LISTS lines)
  if(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
    set(in_table TRUE)
    set(found_table TRUE)
  elseif(in_table)
    if(line MATCHES "^[ \t]*\\[ *[0-9]+\\] +(.+)$")
      string(STRIP "${CMAKE_MATCH_1}" name)
      # Newer binutils print "+base[ n] hint name": keep the last word.
      string(REGEX REPLACE "^.* " "" name "${name}")
      list(APPEND names "${name}")
    elseif(line MATCHES "^[ \t]*$")
      set(in_table FALSE)
    endif()
  endif()
endforeach()

if(NOT found_table)
  message(FATAL_ERROR "${LIBRARY} has no export name table")
endif()
if(NOT names STREQUAL "PluginMain")
  list(JOIN names ", " shown)
  list(LENGTH names count)
  message(FATAL_ERROR "${LIBRARY} must export exactly PluginMain; it exports ${count} names: ${shown}")
endif()

set(imports "")
foreach(line IN LISTS lines)
  if(line MATCHES "DLL Name: *(.+)$")
    string(STRIP "${CMAKE_MATCH_1}" dll)
    list(APPEND imports "${dll}")
  endif()
endforeach()
foreach(dll IN LISTS imports)
  string(TOLOWER "${dll}" lower)
  if(lower MATCHES "^(libstdc\\+\\+|libgcc|libwinpthread)")
    list(JOIN imports ", " shown)
    message(FATAL_ERROR "${LIBRARY} imports the MinGW runtime ${dll} (imports: ${shown})")
  endif()
endforeach()

list(JOIN imports ", " shown)
message(STATUS "${LIBRARY}: exports PluginMain only; imports ${shown}")
