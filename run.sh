#!/usr/bin/env bash
# Vantor's one entry point for set-up, the demo and the test suite.
#   ./run.sh demo   install what is missing, build, run a live mission
#   ./run.sh test   install what is missing, build, check the naming rule on the
#                   changed sources, run every test (also under
#                   AddressSanitizer + UndefinedBehaviorSanitizer), then every
#                   fuzz target over its corpus and a short fresh search
#   ./run.sh build  install what is missing and build only
#   ./run.sh fuzz [SECONDS]  longer fuzzing campaigns (default 600 s a target),
#                   keeping new corpus entries in fuzz/corpus
#   ./run.sh windows  install what is missing, cross-build the parts that need
#                   no Qt for Windows (MinGW-w64), check PxRemote.dll's
#                   exports, run their tests under Wine
#   ./run.sh soak   install what is missing, build, run the 10-minute load
#                   runs of the README's "Large missions" (not part of the tests;
#                   tools/load/soak.sh --help lists its choices)
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"

# libx11-dev and libxtst-dev: the push-to-talk key chords (XTEST); xvfb and
# x11-utils: the key chord test's own X server; zlib1g-dev: the client's
# recordings are deflated.
PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev
          libgtest-dev libgmock-dev libbenchmark-dev libgl-dev clang-tidy libx11-dev libxtst-dev xvfb x11-utils
          clang libclang-rt-dev zlib1g-dev)
# For ./run.sh windows: the 64-bit MinGW-w64 cross compilers (posix threads,
# which std::thread and GoogleTest need), GoogleTest's sources, Wine.
WINDOWS_PACKAGES=(cmake ninja-build gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
                  binutils-mingw-w64-x86-64 googletest wine wine64)
JOBS=${JOBS:-$(nproc)}

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; elif command -v sudo >/dev/null; then sudo "$@"; else
    echo "run.sh: need root to install packages: $*" >&2; return 1; fi
}

# ensure_packages [package...]: the given packages, or PACKAGES.
ensure_packages() {
  local wanted=("$@")
  [ ${#wanted[@]} -gt 0 ] || wanted=("${PACKAGES[@]}")
  local missing=()
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# build <dir> [cmake options...]
build() {
  local dir=$1; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja "$@"
  fi
  cmake --build "$dir" -j "$JOBS"
}

# The exports PxRemote.dll must have: exactly the names of PxRemote.def, no
# more, none decorated.
check_dll_exports() {
  local dll=$1 def=voice/PxRemote.def
  local expected actual
  expected=$(sed -n '/^EXPORTS/,$p' "$def" | sed '1d; s/[[:space:]]//g; /^$/d; /^;/d' | sort)
  actual=$(x86_64-w64-mingw32-objdump -p "$dll" |
           sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort)
  if [ "$(echo "$expected" | wc -l)" -ne 24 ] || [ "$actual" != "$expected" ]; then
    echo "run.sh: $dll does not export exactly the 24 functions of $def" >&2
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    return 1
  fi
  echo "== $dll exports the 24 functions, undecorated"
}

# Wine in a prefix of the build folder, headless, its server kept up for
# the whole run and stopped at the end. A Wine that cannot start fails the
# step.
start_wine() {
  export WINEPREFIX="$PWD/$1/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  unset DISPLAY WAYLAND_DISPLAY
  mkdir -p "$WINEPREFIX"
  wineserver -k 2>/dev/null || true  # one left by an interrupted run
  if ! wineserver -p; then
    echo "run.sh: the Wine server does not start" >&2
    return 1
  fi
  trap 'wineserver -k 2>/dev/null || true' EXIT
  if [ ! -d "$WINEPREFIX/drive_c/windows" ]; then
    echo "== Preparing the Wine prefix $WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
  fi
  # Into a file, not a pipe: the first Wine program of a session starts
  # Wine's own services, which keep the standard output open.
  local version=$1/wine-check.txt
  if ! wine "$1/bin/parlix-sim.exe" --version >"$version" 2>&1 || ! grep -q "parlix-sim" "$version"; then
    echo "run.sh: Wine cannot run the Windows programs:" >&2
    cat "$version" >&2
    return 1
  fi
  echo "== $(wine --version 2>/dev/null | head -1) runs $(head -1 "$version")"
}

# The fuzz targets: clang with libFuzzer, ASan and UBSan, in their own folder.
build_fuzz() {
  if [ ! -f build-fuzz/build.ninja ]; then
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOR_FUZZ=ON -DVANTOR_BUILD_TESTS=OFF -DVANTOR_BUILD_BENCH=OFF \
      "${launcher[@]}"
  fi
  cmake --build build-fuzz --target vantor_fuzz -j "$JOBS"
}

case "${1:-}" in
  build)
    ensure_packages
    build build
    ;;
  demo)
    ensure_packages
    build build
    shift
    exec tools/demo/demo.sh build/bin "$@"
    ;;
  test)
    ensure_packages
    build build
    echo "== Naming rule on the changed sources"
    tools/ci/check-naming.sh -p build
    echo "== Tests"
    (cd build && QT_QPA_PLATFORM=offscreen ctest -j "$JOBS" --output-on-failure --timeout 300)
    echo "== Tests under AddressSanitizer + UndefinedBehaviorSanitizer"
    build build-asan -DCMAKE_BUILD_TYPE=Debug -DVANTOR_SANITIZE=ON -DVANTOR_BUILD_BENCH=OFF
    (cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
       UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest -j "$JOBS" --output-on-failure --timeout 600)
    echo "== Fuzz targets: each corpus replayed, then ${FUZZ_SECONDS:-20} s of fresh search each"
    started=$SECONDS
    build_fuzz
    (cd build-fuzz && ctest -L fuzz -j "$JOBS" --output-on-failure)
    fuzz/run-fuzzers.sh build-fuzz check "${FUZZ_SECONDS:-20}"
    echo "== Fuzz step done in $((SECONDS - started)) s"
    ;;
  fuzz)
    ensure_packages
    build_fuzz
    fuzz/run-fuzzers.sh build-fuzz campaign "${2:-600}"
    ;;
  soak)
    ensure_packages
    build build
    shift
    exec tools/load/soak.sh build/bin "$@"
    ;;
  windows)
    started=$SECONDS
    ensure_packages "${WINDOWS_PACKAGES[@]}"
    echo "== Cross-building for Windows (MinGW-w64, without Qt)"
    build build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW-w64-x86_64.cmake -DVANTOR_WITH_QT=OFF \
      -DCMAKE_BUILD_TYPE=Release
    check_dll_exports build-windows/bin/PxRemote.dll
    start_wine build-windows
    echo "== Tests under Wine"
    (cd build-windows && ctest -j "$JOBS" --output-on-failure --timeout 300)
    echo "== Windows step done in $((SECONDS - started)) s"
    ;;
  *)
    sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
