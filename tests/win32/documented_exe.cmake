# tovalen.exe as README and docs/windows.md describe it: under a megabyte,
# and importing the DLLs that docs/windows.md lists, no others.
#   cmake -DEXE=tovalen.exe -DOBJDUMP=objdump -DDOC=docs/windows.md -P documented_exe.cmake
cmake_minimum_required(VERSION 3.25)
# "Under a megabyte", and not so small that something is surely missing.
set(smallest 262144)
set(largest 1048576)
file(SIZE "${EXE}" size)
if(size LESS smallest OR size GREATER largest)
  message(FATAL_ERROR "${EXE} is ${size} bytes, not under a megabyte as README and docs/windows.md say")
endif()

if(NOT OBJDUMP)
  set(OBJDUMP objdump)  # binutils reads PE files too
endif()
execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed: ${failed}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
set(imported)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "DLL Name: (.+)\\.[dD][lL][lL]" "\\1" name "${line}")
  string(TOUPPER "${name}" name)
  list(APPEND imported "${name}")
endforeach()
list(SORT imported)

# The row of the table: | `tovalen.exe` (stripped) | size | IMPORTS |
file(STRINGS "${DOC}" rows REGEX "^\\| `tovalen\\.exe`")
list(LENGTH rows count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "${DOC} has ${count} rows for tovalen.exe, not one")
endif()
string(REPLACE "|" ";" cells "${rows}")
list(GET cells 3 documented)
string(STRIP "${documented}" documented)
string(REPLACE ", " ";" documented "${documented}")
string(TOUPPER "${documented}" documented)
list(SORT documented)

if(NOT imported STREQUAL documented)
  message(FATAL_ERROR "${EXE} imports ${imported}; ${DOC} lists ${documented}")
endif()
message(STATUS "${EXE}: ${size} bytes, imports ${imported}")
