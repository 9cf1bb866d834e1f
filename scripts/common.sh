# Shared shell helpers for ./test, ./run and the Wine wrapper. Source, don't run.

# The repository root, whatever the caller's working directory.
ORVANTA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

note() { printf '== %s\n' "$*" >&2; }
die() { printf 'error: %s\n' "$*" >&2; exit 1; }

# Installs the Debian packages among "$@" that are not installed yet. The package
# lists are refreshed only when something is missing, since an update costs time.
ensure_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  note "installing ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq ||
    die "apt-get update failed"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" </dev/null || die "could not install ${missing[*]}"
}

# Everything the two builds and the Wine runs need.
ORVANTA_PACKAGES=(
  g++ cmake make wixl
  g++-mingw-w64-x86-64-posix
  wine wine64
  xvfb x11-utils imagemagick fonts-liberation
  googletest python3
  clang libclang-rt-14-dev llvm-14
)

# The headless tree: clang with AddressSanitizer and UndefinedBehaviorSanitizer,
# the unit tests and the fuzz targets (tests/fuzz) in it.
ORVANTA_HEADLESS_CMAKE=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DORVANTA_SANITIZE=ON)
# Any report ends the process; reports name files and lines.
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export ASAN_SYMBOLIZER_PATH=${ASAN_SYMBOLIZER_PATH:-/usr/lib/llvm-14/bin/llvm-symbolizer}
