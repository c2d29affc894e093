# Fails when a program we ship holds machinery that serves only its tests: a switch read
# from the environment, a timer, or a "BREVORN_TEST" name (in 8-bit or UTF-16 text).
# usage: cmake -DPROGRAM=FILE.exe -DOBJDUMP=objdump -P no_test_machinery.cmake

foreach(variable PROGRAM OBJDUMP)
    if(NOT ${variable})
        message(FATAL_ERROR "usage: cmake -DPROGRAM=FILE.exe -DOBJDUMP=objdump -P no_test_machinery.cmake")
    endif()
endforeach()
if(NOT EXISTS "${PROGRAM}")
    message(FATAL_ERROR "no program at ${PROGRAM}")
endif()

# The functions the program takes from DLLs, by name: objdump lists each of them in the
# import tables as "<tab>ADDRESS<tab>  HINT  NAME".
execute_process(COMMAND "${OBJDUMP}" -p "${PROGRAM}" OUTPUT_VARIABLE headers RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} could not read ${PROGRAM}")
endif()
string(REGEX MATCHALL "\n\t[0-9a-f]+\t +[0-9]+  [A-Za-z0-9_@?]+" entries "${headers}")
set(imports)
foreach(entry IN LISTS entries)
    string(REGEX REPLACE ".* " "" name "${entry}")
    list(APPEND imports "${name}")
endforeach()
list(LENGTH imports count)
# A program that imports nothing by name was misread, and would pass unseen.
if(count LESS 10)
    message(FATAL_ERROR "read only ${count} imported functions from ${PROGRAM}; is it a Windows program?")
endif()

# What reads the environment and what wakes a program on its own. The C runtime's start-up
# code imports the table of the environment (__winitenv, __initenv) for main's third
# argument; that is not a read of a variable, and every program built with MinGW has it.
set(forbidden
    "^_?w?getenv(_s)?$" "^_?w?dupenv_s$" "^GetEnvironmentVariable[AW]?$" "^GetEnvironmentStrings[AW]?$"
    "^ExpandEnvironmentStrings[AW]$" "^(_|__p__)w?environ$"
    "^SetTimer$" "^SetCoalescableTimer$" "^SetSystemTimer$" "^CreateTimerQueueTimer$"
    "^CreateWaitableTimer(Ex)?[AW]$" "^SetWaitableTimer(Ex)?$" "^timeSetEvent$")
set(found)
foreach(name IN LISTS imports)
    foreach(pattern IN LISTS forbidden)
        if(name MATCHES "${pattern}")
            list(APPEND found "imports ${name}")
        endif()
    endforeach()
endforeach()

# The name of a test switch, in the program's bytes as 8-bit text or as UTF-16.
set(marker BREVORN_TEST)
file(STRINGS "${PROGRAM}" narrow REGEX "${marker}")
file(STRINGS "${PROGRAM}" wide REGEX "${marker}" ENCODING UTF-16LE)
foreach(text IN LISTS narrow wide)
    list(APPEND found "holds \"${text}\"")
endforeach()

if(found)
    list(JOIN found "; " what)
    message(FATAL_ERROR "${PROGRAM} holds test machinery: ${what}")
endif()
message(STATUS "${PROGRAM}: ${count} imported functions, none reads the environment or sets a timer; no \"${marker}\"")
