#!/usr/bin/env bash
# Makes the Debian packages (scripts/package.sh) and proves them the way a
# user gets them: installed with apt-get on a clean Debian 12 made for the
# test by mmdebstrap (from Debian's own archive, into a temporary folder;
# their dependencies come from Debian there), then used by an ordinary user
# (scripts/test-package-user.sh: the tools, the library, the simulated
# instrument, the desktop program under Xvfb, the manual page, the
# completion), then purged, leaving no file of theirs behind.
#
#   scripts/test-package.sh          a clean root (needs root and the network)
#   scripts/test-package.sh --host   install on this machine instead, and
#                                    remove again afterwards
# The screenshot of the desktop program is left in
# build/packages/test/kova-gui.png.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=root
[ "${1:-}" = "--host" ] && mode=host
step() { echo "== test-package: $1 at $((SECONDS / 60)) min $((SECONDS % 60)) s"; }

scripts/package.sh
step "packages made"
version=$(dpkg-deb -f build/packages/kova_*_amd64.deb Version)
debs=(build/packages/kova_"$version"_amd64.deb build/packages/kova-gui_"$version"_amd64.deb
      build/packages/kova-sim_"$version"_amd64.deb)
out=$PWD/build/packages/test
rm -rf "$out"
mkdir -p "$out"
# What the test itself needs besides the packages: a display, the picture
# converter, the manual reader (and col), bash's completion, useradd.
tools=(xvfb netpbm man-db bash-completion passwd bsdextrautils)

# The packages' files, and after the purge: each one must be gone.
check_removed() {  # ROOT LIST
  local left
  left=$(while read -r f; do [ -e "$1$f" ] && [ ! -d "$1$f" ] && echo "$f"; done < "$2" || true)
  if [ -n "$left" ]; then
    echo "Left behind after the purge:"; echo "$left"; return 1
  fi
  for d in /usr/share/kova /usr/share/doc/kova /usr/share/doc/kova-gui /usr/share/doc/kova-sim; do
    if [ -e "$1$d" ]; then echo "Left behind after the purge: $d"; return 1; fi
  done
}

if [ "$mode" = root ]; then
  root=$(mktemp -d /tmp/kova-package-root.XXXXXX)
  trap 'rm -rf "$root"' EXIT
  cp "${debs[@]}" scripts/test-package-user.sh data/samples/sample-7100B.test "$out"/
  # The user's checks, with pseudo-terminals a user may open (kova-sim
  # serves one): a devpts of the root's own, unmounted again afterwards.
  user_hook="mount -t devpts -o newinstance,ptmxmode=0666,mode=0620 devpts \"\$1/dev/pts\"
    chroot \"\$1\" runuser -u tester -- sh /test/test-package-user.sh '$version' /test/sample-7100B.test /test
    status=\$?; umount \"\$1/dev/pts\"; exit \$status"
  # mmdebstrap mounts /proc, /sys and /dev for the hooks and removes them.
  # The hooks' "$1" is mmdebstrap's, not ours: single quotes on purpose.
  # shellcheck disable=SC2016
  # Each hook runs in the new root ("$1"); the test user is "tester".
  mmdebstrap --variant=apt --include="$(IFS=,; echo "${tools[*]}")" \
    --customize-hook="mkdir -p \"\$1/test\" && cp -a '$out'/. \"\$1/test/\"" \
    --customize-hook='chroot "$1" sh -c "DEBIAN_FRONTEND=noninteractive apt-get install -y -q /test/*.deb"' \
    --customize-hook='chroot "$1" sh -c "dpkg -L kova kova-gui kova-sim | sort -u > /test/files.txt"' \
    --customize-hook='chroot "$1" useradd --create-home tester && mkdir -m 1777 "$1/tmp/.X11-unix"' \
    --customize-hook='chroot "$1" chown tester /test' \
    --customize-hook="$user_hook" \
    --customize-hook='chroot "$1" sh -c "DEBIAN_FRONTEND=noninteractive apt-get purge -y -q kova kova-gui kova-sim"' \
    --customize-hook='cp "$1/test/files.txt" "$1/test/kova-gui.png" '"'$out'/" \
    bookworm "$root" http://deb.debian.org/debian
  step "installed, used and purged in a clean Debian 12"
  check_removed "$root" "$out/files.txt"
else
  if dpkg-query -W kova kova-gui kova-sim >/dev/null 2>&1; then
    echo "The kova packages are already installed here: remove them first"; exit 1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${tools[@]}" >/dev/null
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${debs[@]/#/./}" >/dev/null
  user=kova-package-test
  cleanup() {
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -q kova kova-gui kova-sim >/dev/null 2>&1 || true
    userdel --remove "$user" 2>/dev/null || true
  }
  trap cleanup EXIT
  dpkg -L kova kova-gui kova-sim | sort -u > "$out/files.txt"
  useradd --create-home "$user"
  chown "$user" "$out"
  cp scripts/test-package-user.sh data/samples/sample-7100B.test "$out"/
  runuser -u "$user" -- sh "$out/test-package-user.sh" "$version" "$out/sample-7100B.test" "$out"
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -q kova kova-gui kova-sim >/dev/null
  step "installed, used and purged on this machine"
  check_removed "" "$out/files.txt"
fi
du -k "${debs[@]}" | awk '{ printf "package %s: %d KiB\n", $2, $1 }'
step "done"
