# Cross-compiles for 64-bit Windows with mingw-w64 on Debian; the test
# programs then run under Wine. With -DTAVRIN_BUILD_GUI=ON, give the Qt for
# Windows as CMAKE_PREFIX_PATH (scripts/build-qt-windows prints it).
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-compilers.cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
