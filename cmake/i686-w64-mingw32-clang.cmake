# Cross build for 32-bit x86 Windows with clang and lld, against the same mingw-w64 headers and
# libraries as the GCC build (cmake/i686-w64-mingw32.cmake); the programs run here under Wine. It
# shows that the build files hold no assumption of one compiler.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(FARTHOM_CLANG_SUFFIX "-14" CACHE STRING "Version suffix of clang and lld")
set(CMAKE_C_COMPILER clang${FARTHOM_CLANG_SUFFIX})
set(CMAKE_CXX_COMPILER clang++${FARTHOM_CLANG_SUFFIX})
set(CMAKE_C_COMPILER_TARGET i686-w64-mingw32)
set(CMAKE_CXX_COMPILER_TARGET i686-w64-mingw32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

# The C++ runtime is LLVM's libc++, built for this target by the same clang
# (scripts/setup-clang-runtime). GCC's libstdc++ cannot serve: GCC and clang pass an empty class by
# value differently on 32-bit x86 MinGW, and the two halves of one program would disagree.
set(FARTHOM_LIBCXX_DIR "${CMAKE_CURRENT_LIST_DIR}/../build/libcxx-i686-w64-mingw32"
    CACHE PATH "libc++, libc++abi and libunwind for i686-w64-mingw32")
if(NOT EXISTS "${FARTHOM_LIBCXX_DIR}/lib/libc++.a")
  message(FATAL_ERROR "No libc++ for i686-w64-mingw32 in ${FARTHOM_LIBCXX_DIR}: run "
                      "scripts/setup-clang-runtime (scripts/run-windows-tests windows-clang does)")
endif()
# The compiler's builtins still come from GCC's libgcc; found here, or named by the cache.
file(GLOB _farthom_gcc_dirs LIST_DIRECTORIES true /usr/lib/gcc/i686-w64-mingw32/*-posix)
list(SORT _farthom_gcc_dirs)
list(POP_BACK _farthom_gcc_dirs _farthom_gcc_dir)
set(FARTHOM_MINGW_GCC_DIR "${_farthom_gcc_dir}" CACHE PATH "GCC's i686-w64-mingw32 library folder")

set(CMAKE_CXX_FLAGS_INIT "-nostdinc++ -isystem ${FARTHOM_LIBCXX_DIR}/include/c++/v1")
# Static runtime, as with GCC: the programs need no DLL beside them. LLVM's unwinder finds the
# unwind tables of the program itself. lld takes an archive's members wherever the archive stands
# on the command line, so the runtime can be named among the flags. The compile flags come along
# to the link, where the driver would call -nostdinc++ unused.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-fuse-ld=lld -static -nostdlib++ -L${FARTHOM_LIBCXX_DIR}/lib -L${FARTHOM_MINGW_GCC_DIR} -lc++ -lunwind -Wno-unused-command-line-argument")
# The one DLL the tests build links the same way.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT}")

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)

set(FARTHOM_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build")
