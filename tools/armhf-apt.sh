# Sourced by the scripts that take Debian's armhf packages (tools/arm-sysroot,
# tools/test-device). armhf_apt_setup DIR writes a private apt configuration
# under DIR (its own state, lists and cache, APT::Architecture=armhf), so the
# host's dpkg architectures and package lists stay untouched, and exports
# APT_CONFIG for it.
# The mirror, suite and signed-by keyring are the host's own: its first "deb"
# entry with component main for the Debian archive (not the security suite),
# from the source files apt reads (sources.list one-line form, sources.list.d/
# *.list and deb822 *.sources), so a local mirror or proxy serves this too.
# KESTREL_DEBIAN_MIRROR overrides the mirror. Sets `mirror` and `suites`.

# The host's Debian archive entry: prints the mirror, then the suites (the
# release and its -updates when listed), then the Signed-By value (may be
# empty, or span lines when the key is inline). Prints nothing when none.
armhf_host_debian_source() {
  local codename=$1
  shift
  awk -v codename="$codename" '
    function debian(suite, keys,   base) {
      if (suite ~ /-security$/ || suite ~ /\/updates$/) return 0
      base = suite
      sub(/-(updates|backports|proposed-updates)$/, "", base)
      if (base != suite) return 0
      return suite == codename || suite ~ /^(oldoldstable|oldstable|stable|testing|unstable|sid)$/ ||
             keys ~ /debian-archive-keyring/
    }
    # One entry: its first URI, its suites (space-separated), its key.
    function entry(uris, suites, comps, keys,   u, n, s, i) {
      if ((" " comps " ") !~ / main /) return
      split(uris, u, " ")
      if (u[1] == "" || u[1] ~ /^cdrom:/) return
      n = split(suites, s, " ")
      if (mirror == "") {
        for (i = 1; i <= n; ++i)
          if (debian(s[i], keys)) { mirror = u[1]; release = s[i]; key = keys; break }
        if (mirror == "") return
      }
      if (u[1] != mirror) return
      for (i = 1; i <= n; ++i) if (s[i] == release "-updates") updates = 1
    }
    function flush() {
      if (enabled !~ /^(no|false)$/ && (" " types " ") ~ / deb /)
        entry(f["uris"], f["suites"], f["components"], f["signed-by"])
      delete f; types = ""; enabled = ""; last = ""
    }
    FNR == 1 { if (deb822) flush(); deb822 = FILENAME ~ /\.sources$/ }
    deb822 && /^#/ { next }
    deb822 && /^[ \t]*$/ { flush(); next }
    deb822 && /^[ \t]/ { if (last != "") f[last] = f[last] "\n" $0; next }
    deb822 {
      name = tolower(substr($0, 1, index($0, ":") - 1))
      value = substr($0, index($0, ":") + 1)
      gsub(/^[ \t]+|[ \t]+$/, "", value)
      if (name == "types") types = value
      else if (name == "enabled") enabled = tolower(value)
      else f[name] = value
      last = name
      next
    }
    {
      sub(/#.*/, "")
      if ($1 != "deb") next
      keys = ""; i = 2
      if ($2 ~ /^\[/) {
        for (; i <= NF; ++i) {
          o = $i; gsub(/[\[\]]/, "", o)
          if (o ~ /^signed-by=/) keys = substr(o, 11)
          if ($i ~ /\]$/) break
        }
        ++i
      }
      comps = ""
      for (j = i + 2; j <= NF; ++j) comps = comps " " $j
      entry($i, $(i + 1), comps, keys)
    }
    END {
      if (deb822) flush()
      if (mirror == "") exit
      print mirror
      print release (updates ? " " release "-updates" : "")
      print key
    }' "$@"
}

armhf_apt_setup() {
  local apt_dir=$1
  eval "$(apt-config shell source_list Dir::Etc::sourcelist/f source_parts Dir::Etc::sourceparts/d)"
  source_list=${source_list:-/etc/apt/sources.list}
  source_parts=${source_parts:-/etc/apt/sources.list.d}
  source_files=()
  if [ -f "$source_list" ]; then source_files+=("$source_list"); fi
  # apt reads the parts after the list, in name order whatever their form.
  while IFS= read -r f; do
    source_files+=("$f")
  done < <(find "$source_parts" -maxdepth 1 -type f \( -name '*.list' -o -name '*.sources' \) 2>/dev/null | LC_ALL=C sort)
  os_codename=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
  found=""
  if [ ${#source_files[@]} -ne 0 ]; then found=$(armhf_host_debian_source "$os_codename" "${source_files[@]}"); fi
  if [ -n "$found" ]; then
    { read -r mirror; read -r suites; keyring=$(cat); } <<<"$found"
  elif [ -n "${KESTREL_DEBIAN_MIRROR:-}" ]; then
    suites="${os_codename:-bookworm} ${os_codename:-bookworm}-updates"
    keyring=""
  else
    read_files=${source_files[*]:-}
    read_files=${read_files:-"none ($source_list is missing, $source_parts holds no *.list or *.sources)"}
    echo "armhf-apt: no Debian archive entry (\"deb\", component main, not security) in the apt" \
         "sources read: $read_files. Set KESTREL_DEBIAN_MIRROR to a Debian mirror's URL." >&2
    exit 1
  fi
  mirror=${KESTREL_DEBIAN_MIRROR:-$mirror}
  if [ -z "$keyring" ] && [ -f /usr/share/keyrings/debian-archive-keyring.gpg ]; then
    keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  fi

  mkdir -p "$apt_dir"/state/lists/partial "$apt_dir"/cache/archives/partial "$apt_dir"/etc/preferences.d \
           "$apt_dir"/etc/sources.list.d "$apt_dir"/debs
  : > "$apt_dir/state/status"
  # deb822, so that a key given inline in the host's entry carries over whole.
  : > "$apt_dir/etc/sources.list"
  rm -f "$apt_dir"/etc/sources.list.d/*
  {
    echo "Types: deb"
    echo "URIs: $mirror"
    echo "Suites: $suites"
    echo "Components: main"
    echo "Architectures: armhf"
    if [ -n "$keyring" ]; then echo "Signed-By: $keyring"; fi
  } > "$apt_dir/etc/sources.list.d/debian.sources"
  cat > "$apt_dir/apt.conf" <<EOF
APT::Architecture "armhf";
APT::Architectures { "armhf"; };
APT::Sandbox::User "root";
Acquire::Languages "none";
Dir::State "$apt_dir/state";
Dir::State::status "$apt_dir/state/status";
Dir::Cache "$apt_dir/cache";
Dir::Etc "$apt_dir/etc";
Dir::Etc::sourcelist "$apt_dir/etc/sources.list";
Dir::Etc::sourceparts "$apt_dir/etc/sources.list.d";
Dir::Etc::preferencesparts "$apt_dir/etc/preferences.d";
// The host's settings (a proxy, say) still apply.
Dir::Etc::parts "/etc/apt/apt.conf.d";
EOF
  export APT_CONFIG=$apt_dir/apt.conf
}
