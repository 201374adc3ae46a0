# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread model).
# The 64-bit paloran.dll is the one the tests run under Wine here.
set(PALORAN_MINGW_TRIPLE x86_64-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake")
