# Runs after CMake's MSVC platform settings: this toolchain has no C++ runtime
# to unwind with, so exceptions are off instead of CMake's default /EHsc.
string(REPLACE "/EHsc" "/EHs-c-" CMAKE_CXX_FLAGS_INIT "${CMAKE_CXX_FLAGS_INIT}")
