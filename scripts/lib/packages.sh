# Installs the Debian packages a script needs when they are missing (fresh Debian 12 machine).
# Usage: ensure_packages NAME...
ensure_packages() {
  local missing=()
  local name
  for name in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$name")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

# Packages every build of the project needs.
TARVO_BUILD_PACKAGES=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  help2man
)
# The Qt window, its offscreen tests and the screenshots.
TARVO_GUI_PACKAGES=(qt6-base-dev libgl-dev xvfb xauth)
# The fuzz preset builds with Clang and libFuzzer.
TARVO_FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# The Windows leg: the mingw-w64 cross compilers (x86_64, -posix threads), GoogleTest's sources to
# build with them, and wine to run the Windows tests.
TARVO_WINDOWS_PACKAGES=(mingw-w64 g++-mingw-w64-x86-64-posix googletest wine64)
