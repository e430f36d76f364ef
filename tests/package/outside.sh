#!/usr/bin/env bash
# The installed package, used from outside: installs this build into a fresh
# prefix under <build>/package-test and, with the toolchain file installed
# there, builds
#  - samples/<sample> as it stands, a project of its own that finds Novaxis
#    there (its exe lands in package-test/samples/, where the sample's
#    e2e.sh finds it: the test package_run runs it under Wine);
#  - a project compiling every installed header after <windows.h>, as ANSI
#    and as UNICODE, with nothing but the package's usage requirements.
#   tests/package/outside.sh <build dir> [sample, default hello]
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
sample=${2:-hello}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$build/package-test
prefix=$work/prefix

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

rm -rf "$work"
mkdir -p "$work"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "install"; }
for f in lib/libnxrt.a lib/libnovaxis.a include/novaxis/classes/window.h include/novaxis/rt/value.h \
         lib/cmake/Novaxis/NovaxisConfig.cmake lib/cmake/Novaxis/NovaxisConfigVersion.cmake \
         lib/cmake/Novaxis/NovaxisApp.cmake share/novaxis/novaxis.rc share/novaxis/mingw-i686.cmake; do
  [[ -f "$prefix/$f" ]] || fail "not installed: $f"
done
[[ -z $(find "$prefix/include" -name '*_internal.h') ]] || fail "internal headers installed"

# Outside projects see the prefix only: no package registry, no build tree.
configure() {
  cmake -S "$1" -B "$2" -DCMAKE_TOOLCHAIN_FILE="$prefix/share/novaxis/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF "${@:3}"
}

configure "$root/samples/$sample" "$work/$sample-build" -DCMAKE_RUNTIME_OUTPUT_DIRECTORY="$work/samples" \
  || fail "configure samples/$sample"
found=$(sed -n 's/^Novaxis_DIR:[A-Z]*=//p' "$work/$sample-build/CMakeCache.txt")
[[ "$found" == "$prefix/lib/cmake/Novaxis" ]] || fail "found Novaxis in '$found', not in the prefix"
cmake --build "$work/$sample-build" -j 2 || fail "build samples/$sample"
exe=$work/samples/$sample.exe
[[ -f "$exe" ]] || fail "no $exe"
# A static runtime: the program imports system DLLs only.
dlls=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
[[ -n "$dlls" ]] || fail "no imports read from $sample.exe"
if grep -Ei 'libstdc|libgcc|libwinpthread' <<<"$dlls"; then fail "$sample.exe needs the compiler's runtime DLLs"; fi
# The library's manifest resource is in the program.
grep -aq "Microsoft.Windows.Common-Controls" "$exe" || fail "no manifest resource in $sample.exe"

mkdir -p "$work/headers"
cat >"$work/headers/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.20)
project(headers LANGUAGES CXX)
# A newer major version than the installed one is refused.
find_package(Novaxis 10 QUIET)
if(Novaxis_FOUND)
  message(FATAL_ERROR "Novaxis 10 found: the version file accepts any version")
endif()
find_package(Novaxis 9.08 REQUIRED)
get_target_property(dirs Novaxis::nxrt INTERFACE_INCLUDE_DIRECTORIES)
file(GLOB_RECURSE headers RELATIVE ${dirs} ${dirs}/*.h)
list(SORT headers)
set(text "#include <windows.h>\n")
foreach(h IN LISTS headers)
  string(APPEND text "#include \"${h}\"\n")
endforeach()
file(WRITE ${CMAKE_BINARY_DIR}/ansi.cpp "${text}")
file(WRITE ${CMAKE_BINARY_DIR}/unicode.cpp "#define UNICODE\n#define _UNICODE\n${text}")
add_library(headers OBJECT ${CMAKE_BINARY_DIR}/ansi.cpp ${CMAKE_BINARY_DIR}/unicode.cpp)
target_link_libraries(headers PRIVATE Novaxis::novaxis)
CMAKE
configure "$work/headers" "$work/headers-build" || fail "configure the header check"
cmake --build "$work/headers-build" -j 2 || fail "an installed header does not compile from outside"
echo "outside build of samples/$sample and every installed header: OK"
