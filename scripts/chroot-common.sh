# Shared by the scripts that build or try the game in Debian chroots; sourced, not run.

# The Debian mirror this machine's apt already uses for its own release, so no mirror's
# name is written into the project. MIRROR overrides it.
apt_mirror() {
  if [ -n "${MIRROR:-}" ]; then echo "$MIRROR"; return; fi
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  found=$(
    {
      cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
        awk -v suite="$codename" '$1 == "deb" {
          sub(/^deb +(\[[^]]*\] +)?/, ""); if ($2 == suite) print $1 }'
      for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        # One stanza a paragraph; an entry switched off with "Enabled: no" does not count.
        awk -v suite="$codename" 'BEGIN { RS = ""; FS = "\n" } {
          uris = ""; suites = ""; off = 0; deb = 0
          for (i = 1; i <= NF; i++) {
            if ($i ~ /^URIs:/) uris = substr($i, 6)
            if ($i ~ /^Suites:/) suites = " " substr($i, 8) " "
            if ($i ~ /^Types:.*(^|[ :])deb( |$)/) deb = 1
            if (tolower($i) ~ /^enabled: *no/) off = 1
          }
          gsub(/\t/, " ", suites)
          if (deb && !off && index(suites, " " suite " ")) { split(uris, u, " "); print u[1] }
        }' "$file"
      done
    } | head -n 1
  )
  if [ -z "$found" ]; then
    echo "no Debian mirror for '$codename' in /etc/apt/sources.list*; set MIRROR" >&2
    return 1
  fi
  echo "$found"
}

# An empty folder for a chroot. mktemp makes it 0700 and debootstrap keeps the mode of its
# target, which would shut every user but root out of the whole chroot.
new_root() {
  root=$(mktemp -d "${TMPDIR:-/tmp}/skywaltz-$1.XXXXXX")
  chmod 0755 "$root"
  echo "$root"
}

# Fills ROOT with a debootstrapped SUITE: unpacked from CACHE/<name>.tar when that exists,
# else debootstrapped and, with CACHE set, kept there for the next run.
#   bootstrap SUITE ROOT LOG NAME [debootstrap options...]
bootstrap() {
  suite=$1 target=$2 log=$3 name=$4
  shift 4
  tarball=${CACHE:+$CACHE/$name.tar}
  if [ -n "$tarball" ] && [ -f "$tarball" ]; then
    tar -xpf "$tarball" -C "$target"
  else
    mirror=$(apt_mirror)
    debootstrap "$@" "$suite" "$target" "$mirror" > "$log" 2>&1 ||
      { tail -n 20 "$log" >&2; return 1; }
    if [ -n "$tarball" ]; then
      mkdir -p "$CACHE"
      tar -cpf "$tarball.new" -C "$target" . && mv "$tarball.new" "$tarball"
    fi
  fi
  # Indexing every manual page the Build-Depends bring took twenty minutes of a busy machine;
  # nobody reads them in a chroot.
  echo "man-db man-db/auto-update boolean false" | in_chroot "$target" debconf-set-selections
}

# Runs a command inside ROOT as root, with a clean environment.
in_chroot() {
  target=$1
  shift
  chroot "$target" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"
}

# Undoes every mount below ROOT and removes it, unless something stays mounted there.
remove_root() {
  for point in $(awk -v r="$1/" 'index($2, r) == 1 { print $2 }' /proc/mounts | sort -r); do
    umount "$point" 2>/dev/null || umount -l "$point" 2>/dev/null || true
  done
  if ! grep -q " $1/" /proc/mounts; then rm -rf "$1"; fi
}
