#!/usr/bin/env bash
# 32-bit Wine for the 32-bit tests, kept away from the host's Wine.
# The kernel of these machines runs no 32-bit Linux programs, and Debian's
# wine32 installed beside the host's wine64 makes `wine` pick the 32-bit
# loader. So 32-bit programs run under qemu-i386 (a binfmt_misc handler for
# 32-bit x86 ELF only), and 32-bit Wine lives in a Debian chroot of its own.
#
# usage: scripts/win32-env.sh prepare         make it ready (installs what is missing);
#                                             exit 1 with the reason in words when it cannot work here
#        scripts/win32-env.sh run DIR CMD...  run CMD in the chroot, in DIR (a checkout, seen at the same path)
# MRL_W32ROOT: the chroot (default /var/cache/mrlui/w32root; kept between runs).
set -euo pipefail

root=${MRL_W32ROOT:-/var/cache/mrlui/w32root}
# What the chroot holds; a change here builds it anew.
packages="wine wine64 wine32:i386 xvfb cmake python3 fonts-dejavu-core"
stamp="$root/.mrl-ready"

usage() {
  echo "usage: scripts/win32-env.sh prepare | run DIR COMMAND..."
}

cannot() {
  echo "win32-env: 32-bit Wine cannot run here: $*" >&2
  exit 1
}

# The chroot, the handler and the mounts need root.
sudo=""
need_root() {
  [ "$(id -u)" -eq 0 ] && return 0
  command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null && { sudo=sudo; return 0; }
  cannot "needs root (or sudo without a password) for the chroot and the binfmt handler"
}

as_root() {
  $sudo "$@"
}

# Installs host packages, updating the package lists once when that helps.
apt_install() {
  local run="env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $*"
  as_root $run >/dev/null 2>&1 || { as_root apt-get update -qq && as_root $run >/dev/null; }
}

# Runs the chroot's 32-bit loader: 0 when 32-bit x86 programs start.
runs_i386() {
  as_root chroot "$root" /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# The 32-bit x86 ELF handler, registered only where the kernel cannot start
# such programs itself. F opens the emulator now, so it also serves the chroot.
register_i386() {
  local misc=/proc/sys/fs/binfmt_misc
  [ -e "$misc/qemu-i386" ] && return 0
  if [ ! -e "$misc/register" ]; then
    as_root mount -t binfmt_misc binfmt_misc "$misc" 2>/dev/null ||
      cannot "binfmt_misc cannot be mounted (a container without it?)"
  fi
  if [ ! -x /usr/bin/qemu-i386-static ]; then
    echo "win32-env: installing qemu-user-static"
    apt_install qemu-user-static || cannot "qemu-user-static does not install"
  fi
  local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  echo ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:F" | as_root tee "$misc/register" >/dev/null ||
    cannot "the kernel refuses the qemu-i386 binfmt handler"
}

# The host's own Debian mirror and release, for the chroot.
mirror() {
  apt-cache policy 2>/dev/null |
    awk -v s="$1/main" '$3 == s && $4 == "amd64" && $2 ~ /^https?:/ { print $2; exit }'
}

make_root() {
  local codename=""
  [ -r /etc/os-release ] && codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$codename" ] && [ "$(dpkg --print-architecture 2>/dev/null)" = amd64 ] ||
    cannot "the chroot is made from Debian packages, and this is not an amd64 Debian system"
  if ! command -v debootstrap >/dev/null 2>&1; then
    echo "win32-env: installing debootstrap"
    apt_install debootstrap || cannot "debootstrap does not install"
  fi
  local url
  url=$(mirror "$codename")
  [ -n "$url" ] || { as_root apt-get update -qq; url=$(mirror "$codename"); }
  [ -n "$url" ] || cannot "no Debian mirror for $codename in the host's apt sources"
  echo "win32-env: making the 32-bit Wine chroot in $root ($codename; takes a few minutes)"
  as_root rm -rf "$root"
  as_root mkdir -p "$root/var/log"
  as_root debootstrap --variant=minbase "$codename" "$root" "$url" >"$root/var/log/mrl-setup.log" 2>&1 ||
    cannot "debootstrap failed (see $root/var/log/mrl-setup.log)"
  # Security updates as on the host, when it has them.
  local sec
  sec=$(mirror "$codename-security")
  [ -z "$sec" ] || echo "deb $sec $codename-security main" | as_root tee -a "$root/etc/apt/sources.list" >/dev/null
}

prepare() {
  need_root
  if [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$packages" ]; then
    [ -x "$root/bin/sh" ] || make_root
    echo "win32-env: installing $packages into $root"
    as_root chroot "$root" sh -c "dpkg --add-architecture i386 && apt-get update -qq &&
      DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $packages" \
      >>"$root/var/log/mrl-setup.log" 2>&1 || cannot "the chroot's packages do not install (see $root/var/log/mrl-setup.log)"
    echo "$packages" | as_root tee "$stamp" >/dev/null
  fi
  runs_i386 || register_i386
  runs_i386 || cannot "32-bit x86 programs do not start, even under qemu-i386"
}

# The command runs in a mount namespace of its own: /proc, /dev, /tmp (X
# displays, Wine's server sockets) and the checkout are bound into the chroot
# there, and every mount goes away with the command, however it ends.
# QEMU_RESERVED_VA: qemu-i386 gives a guest the whole 4 GB by default, and
# 32-bit Wine (Debian's has no preloader) then spends minutes per process
# splitting its address-space reservations down to 64 KB; with the 2 GB a
# 32-bit Windows process has, a process starts in seconds.
run() {
  local dir
  dir=$(cd "$1" && pwd); shift
  prepare
  as_root unshare --mount --propagation private sh -c '
    root=$1 dir=$2; shift 2
    mount -t proc proc "$root/proc" &&
    mount --rbind /dev "$root/dev" &&
    mount --bind /tmp "$root/tmp" &&
    mkdir -p "$root$dir" && mount --bind "$dir" "$root$dir" || exit 1
    exec chroot "$root" env QEMU_RESERVED_VA=0x7fff0000 HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin sh -c "cd \"\$0\" && exec \"\$@\"" "$dir" "$@"' sh "$root" "$dir" "$@"
}

case "${1:-}" in
  prepare) [ $# -eq 1 ] || { usage >&2; exit 2; }; prepare ;;
  run) [ $# -ge 3 ] || { usage >&2; exit 2; }; shift; run "$@" ;;
  -h|--help) usage ;;
  *) usage >&2; exit 2 ;;
esac
