# Sourced by the scripts that need Debian packages on the host (tools/setup,
# tools/arm-sysroot, tools/test-device).
# install_host_packages WHAT WHO PACKAGE...: installs the missing packages
# with apt-get as root ("WHO: installing ..."); otherwise prints the apt-get
# line ("WHAT needs these Debian packages") and ends the script with 1.
install_host_packages() {
  local what=$1 who=$2 p
  shift 2
  local missing=()
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -ne 0 ] || return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "$what needs these Debian packages. Run:"
    echo "  sudo apt-get install -y ${missing[*]}"
    exit 1
  fi
  echo "$who: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! apt-get install -y --no-install-recommends "${missing[@]}"; then
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}
