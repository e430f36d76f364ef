# Sourced: the two builds. build/win is the MinGW-w64 cross build, build/host
# the Linux build of the runtime layer with sanitizers and fuzz targets.
NX_ROOT=${NX_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
NX_JOBS=${NX_JOBS:-$(nproc)}

nx_build_host() {
  CC=clang CXX=clang++ cmake -S "$NX_ROOT" -B "$NX_ROOT/build/host" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DNX_SANITIZE=ON -DNX_FUZZ=ON >/dev/null
  cmake --build "$NX_ROOT/build/host" -j "$NX_JOBS"
}

nx_build_win() {
  cmake -S "$NX_ROOT" -B "$NX_ROOT/build/win" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$NX_ROOT/cmake/mingw-i686.cmake" \
    -DNX_HOST_BUILD_DIR="$NX_ROOT/build/host" >/dev/null
  cmake --build "$NX_ROOT/build/win" -j "$NX_JOBS"
}
