# Cross build for 32-bit Windows with Debian's MinGW-w64 (posix thread model,
# which has std::thread and std::mutex). This builds the product: the 32-bit
# paloran.dll with undecorated __stdcall exports.
set(PALORAN_MINGW_TRIPLE i686-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake")
# SSE2 arithmetic instead of the x87 unit: float results then round exactly as
# in the 64-bit builds (x87 keeps intermediates in extended precision).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
