# 64-bit Windows: the same code, for running the tests where a machine has no
# 32-bit mode.
set(MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
