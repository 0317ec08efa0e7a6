#!/usr/bin/env bash
# Vantor's one entry point for set-up, the demo and the test suite.
#   ./run.sh demo   install what is missing, build, run a live mission
#   ./run.sh test   install what is missing, build, run every test (also under
#                   AddressSanitizer + UndefinedBehaviorSanitizer)
#   ./run.sh build  install what is missing and build only
#   ./run.sh soak   install what is missing, build, run the 10-minute load
#                   runs of the README's "Large missions" (not part of the tests;
#                   tools/load/soak.sh --help lists its choices)
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"

PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev
          libgtest-dev libgmock-dev libbenchmark-dev libgl-dev)
JOBS=${JOBS:-$(nproc)}

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; elif command -v sudo >/dev/null; then sudo "$@"; else
    echo "run.sh: need root to install packages: $*" >&2; return 1; fi
}

ensure_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
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
    echo "== Tests"
    (cd build && QT_QPA_PLATFORM=offscreen ctest -j "$JOBS" --output-on-failure --timeout 300)
    echo "== Tests under AddressSanitizer + UndefinedBehaviorSanitizer"
    build build-asan -DCMAKE_BUILD_TYPE=Debug -DVANTOR_SANITIZE=ON -DVANTOR_BUILD_BENCH=OFF
    (cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
       UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest -j "$JOBS" --output-on-failure --timeout 600)
    ;;
  soak)
    ensure_packages
    build build
    shift
    exec tools/load/soak.sh build/bin "$@"
    ;;
  *)
    sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
