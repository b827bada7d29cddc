# Shared by the README's commands: what a fresh Debian 12 machine lacks, and the build.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}

PACKAGES=(g++ cmake ninja-build qt6-base-dev libsqlite3-dev xvfb xauth xdotool
          fonts-dejavu-core
          # lrelease, which compiles the Greek texts of the toolkit's own dialogs
          qt6-l10n-tools
          # the file types' names, in Greek among others, that the file dialogs show
          shared-mime-info
          # the end-to-end scenarios drive the real window through the accessibility bus,
          # under a window manager
          python3 python3-gi python3-pyatspi gir1.2-atspi-2.0 at-spi2-core dbus dbus-x11
          openbox x11-utils x11-xserver-utils)

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build_all() {
  cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$BUILD_DIR" --parallel "$(nproc)"
}

# The same project built with AddressSanitizer and UndefinedBehaviorSanitizer in a
# folder of its own; any report stops the process that made it, a leak report included
# (at exit, and at the program-level stop, which leaves by _exit).
SANITIZER_BUILD_DIR=${SANITIZER_BUILD_DIR:-$ROOT/build-sanitizers}
SANITIZER_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

build_sanitized() {
  cmake -S "$ROOT" -B "$SANITIZER_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-O1 $SANITIZER_FLAGS" \
    -DCMAKE_EXE_LINKER_FLAGS="$SANITIZER_FLAGS" \
    -DCMAKE_SHARED_LINKER_FLAGS="$SANITIZER_FLAGS"
  cmake --build "$SANITIZER_BUILD_DIR" --parallel "$(nproc)"
}

sanitizer_environment() {
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1
  # What the leak check leaves out (the file says why); never an object of ours.
  export LSAN_OPTIONS=suppressions=$ROOT/scripts/leak-suppressions.txt
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
}

# Lays out a program folder from the build: the executable, the control library and its
# registration, an empty database and the installation's first files. An existing
# folder keeps its database and settings file. The smoke test installs this way too.
lay_out_program_folder() {
  local dest=$1
  mkdir -p "$dest"
  dest=$(cd "$dest" && pwd)
  cmake --install "$BUILD_DIR" --prefix "$dest" --component program >/dev/null 2>&1 || true
  install -m 755 "$BUILD_DIR/Vantrel" "$dest/Vantrel"
  if [ -f "$BUILD_DIR/menulib/libtirnaval.so" ]; then
    install -m 755 "$BUILD_DIR/menulib/libtirnaval.so" "$dest/libtirnaval.so"
    "$BUILD_DIR/vantrel_setup" register "$dest"
  fi
  if [ ! -f "$dest/SMS.mdb" ]; then
    "$BUILD_DIR/vantrel_setup" create-database "$dest" "$ROOT/db/schema.sql"
  fi
  "$BUILD_DIR/vantrel_setup" install "$dest" "$ROOT/resources/install"
}

private_runtime_dir() {
  XDG_RUNTIME_DIR=$(mktemp -d /tmp/vantrel-xdg.XXXXXX)
  chmod 700 "$XDG_RUNTIME_DIR"
  export XDG_RUNTIME_DIR
}
