# Sourced by ./run and ./test: installs the Debian packages the build needs
# when they are missing. Usage: need_packages pkg...
need_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}" >&2
  local sudo=
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  if ! $sudo apt-get install -y -q "${missing[@]}" >/tmp/gbk-apt.log 2>&1; then
    $sudo apt-get update -q >>/tmp/gbk-apt.log 2>&1
    $sudo apt-get install -y -q "${missing[@]}" >>/tmp/gbk-apt.log 2>&1 || {
      cat /tmp/gbk-apt.log >&2
      return 1
    }
  fi
}
