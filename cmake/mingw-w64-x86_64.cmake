# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the posix thread model, which
# std::thread and std::mutex need):
#   cmake --preset windows
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(BREVORN_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${BREVORN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BREVORN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${BREVORN_MINGW_TRIPLET}-windres)

# libgcc, libstdc++ and winpthread are linked in, so that the programs import Windows' own
# DLLs only and run from a folder of their own. Release programs are shipped without symbols.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
# -O2 rather than -O3: a window program gains nothing from the larger code, and builds faster.
set(CMAKE_C_FLAGS_RELEASE_INIT "-O2 -DNDEBUG")
set(CMAKE_CXX_FLAGS_RELEASE_INIT "-O2 -DNDEBUG")

# Libraries and headers come from the Windows side only; programs run on this machine.
set(CMAKE_FIND_ROOT_PATH /usr/${BREVORN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Header-only libraries installed for this machine (command-line parsing, JSON) serve the
# Windows build as they are. They are offered through a folder of links that holds them and
# nothing else: adding /usr/include itself would put this machine's C library headers in
# front of the Windows ones.
set(BREVORN_MINGW_HEADER_ONLY "${CMAKE_BINARY_DIR}/header-only")
foreach(entry IN ITEMS "CLI11:CLI" "nlohmann_json:nlohmann")
    string(REPLACE ":" ";" entry "${entry}")
    list(GET entry 0 package)
    list(GET entry 1 headers)
    if(EXISTS /usr/share/cmake/${package} AND EXISTS /usr/include/${headers})
        file(MAKE_DIRECTORY ${BREVORN_MINGW_HEADER_ONLY}/include ${BREVORN_MINGW_HEADER_ONLY}/share/cmake)
        file(CREATE_LINK /usr/include/${headers} ${BREVORN_MINGW_HEADER_ONLY}/include/${headers} SYMBOLIC)
        file(CREATE_LINK /usr/share/cmake/${package} ${BREVORN_MINGW_HEADER_ONLY}/share/cmake/${package} SYMBOLIC)
    endif()
endforeach()
list(APPEND CMAKE_FIND_ROOT_PATH ${BREVORN_MINGW_HEADER_ONLY})
