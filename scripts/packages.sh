# Sourced by ./run and ./test: installs the Debian packages the build needs
# when they are missing. Usage: need_packages pkg...
need_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "missing Debian packages; as root, run: apt-get install ${missing[*]}" >&2
      return 1
    fi
    sudo=sudo
  fi
  echo "installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  # Another install running at the same time (a second checkout's ./test)
  # holds dpkg's lock: wait for it rather than fail.
  local apt=(apt-get -o DPkg::Lock::Timeout=900 -y -q)
  local log
  log=$(mktemp)
  if ! $sudo "${apt[@]}" install "${missing[@]}" >"$log" 2>&1; then
    $sudo "${apt[@]}" update >>"$log" 2>&1
    $sudo "${apt[@]}" install "${missing[@]}" >>"$log" 2>&1 || {
      cat "$log" >&2
      rm -f "$log"
      return 1
    }
  fi
  rm -f "$log"
}
