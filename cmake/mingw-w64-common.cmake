# Cross-compiles the Windows build with Debian's mingw-w64 for the processor
# that the including toolchain file sets, statically, for Windows Server 2003
# (NT 5.2) and later. The win32 thread model keeps winpthreads out.
set(CMAKE_SYSTEM_NAME Windows)
set(PW_MINGW_TRIPLE ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${PW_MINGW_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${PW_MINGW_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER ${PW_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PW_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
add_compile_definitions(_WIN32_WINNT=0x0502 WINVER=0x0502 __USE_MINGW_ANSI_STDIO=0)
# Sections on page boundaries in the file too: Wine then maps the program
# instead of copying all of it into memory at every start (about 600 page
# faults, 1.5 ms, for the command line). Windows maps it either way.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--file-alignment,4096")
# Test programs run under Wine in a throwaway prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
