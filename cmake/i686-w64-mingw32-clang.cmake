# Cross build for 32-bit x86 Windows with clang and lld, against the same mingw-w64 headers,
# libraries and libstdc++ as the GCC build (cmake/i686-w64-mingw32.cmake); the programs run here
# under Wine. It shows that the build files hold no assumption of one compiler.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(FARTHOM_CLANG_SUFFIX "-14" CACHE STRING "Version suffix of clang and lld")
set(CMAKE_C_COMPILER clang${FARTHOM_CLANG_SUFFIX})
set(CMAKE_CXX_COMPILER clang++${FARTHOM_CLANG_SUFFIX})
set(CMAKE_C_COMPILER_TARGET i686-w64-mingw32)
set(CMAKE_CXX_COMPILER_TARGET i686-w64-mingw32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

# GCC's mingw-w64 installation (posix threads, as GoogleTest needs std::mutex) provides
# libstdc++, its headers and libgcc; found here, or named by the cache.
file(GLOB _farthom_gcc_dirs LIST_DIRECTORIES true /usr/lib/gcc/i686-w64-mingw32/*-posix)
list(SORT _farthom_gcc_dirs)
list(POP_BACK _farthom_gcc_dirs _farthom_gcc_dir)
set(FARTHOM_MINGW_GCC_DIR "${_farthom_gcc_dir}" CACHE PATH "GCC's i686-w64-mingw32 library folder")
set(_farthom_cxx_include "${FARTHOM_MINGW_GCC_DIR}/include/c++")
set(CMAKE_CXX_FLAGS_INIT
    "-isystem ${_farthom_cxx_include} -isystem ${_farthom_cxx_include}/i686-w64-mingw32")
# Static runtime, as with GCC: the programs need no MinGW DLL beside them. -B makes the driver
# take GCC's crtbegin.o and crtend.o, which register the unwind tables libgcc's exceptions need;
# mingw-w64's own pair does not, and the first exception thrown would end the program.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-fuse-ld=lld -B${FARTHOM_MINGW_GCC_DIR} -L${FARTHOM_MINGW_GCC_DIR} -static -Wl,-Bstatic -lpthread")

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)

set(FARTHOM_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build")
