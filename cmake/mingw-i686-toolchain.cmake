# Cross build for 32-bit Windows: the build that ships. On 64-bit Windows a
# 32-bit process sees the redirected system folder and registry view that
# existing installations use.
set(VORELA_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
