#!/usr/bin/env bash
# Builds the disk image of the 32-bit test guest from Debian's packages, once: a 32-bit Debian 12
# with its own kernel, 32-bit Wine, Xvfb, CTest, the test fonts and locales and a ready Wine
# prefix. Kept outside the source tree (see guest_dir in guest-vm.sh), in a folder named after a
# hash of the recipe, so a changed recipe builds a new image; prints that folder.
#   tools/guest-image.sh
# Runs no 32-bit program on this machine and registers no binary format handler (the test rig
# decides from whether 32-bit programs start): apt resolves and downloads the i386 packages, they
# are unpacked as plain files without their maintainer scripts, the little those scripts do that
# the guest needs is done here, and what needs the guest's own programs (the library and font
# caches) is done in the guest's first boot, which makes the Wine prefix.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$ROOT/tools/guest-vm.sh"
DIR="$(guest_dir)"

MIRROR=http://deb.debian.org/debian
# Besides the Essential set: mount, ip and modprobe for the guest's init, the kernel, a static
# busybox for the initrd, fc-cache, and what the tests run.
PACKAGES=(mount iproute2 kmod linux-image-686 busybox-static fontconfig
  wine wine32 xvfb xauth cmake xdotool fonts-liberation fonts-ipafont-gothic fonts-wqy-microhei)
WORK="$DIR.tmp"
TARGET="$WORK/root"

# Setup hook of mmdebstrap (before apt resolves anything): a merged /usr, and an empty package
# that stands for an initrd generator, which the kernel package requires: the initrd is made
# below, and initramfs-tools would bring udev and more.
setup_root() {
  local target=$1 pkg
  /usr/share/mmdebstrap/hooks/merged-usr/setup00.sh "$target" >/dev/null
  pkg=$(mktemp -d)
  mkdir "$pkg/DEBIAN"
  printf '%s\n' 'Package: vn-guest-initrd' 'Version: 1' 'Architecture: all' \
    'Maintainer: test rig <root@localhost>' 'Provides: linux-initramfs-tool' \
    'Description: the test guest'"'"'s initrd is made outside the guest' >"$pkg/DEBIAN/control"
  dpkg-deb --build "$pkg" "$pkg.deb" >/dev/null
  dpkg --root="$target" --log=/dev/null --install "$pkg.deb" >/dev/null
  rm -rf "$pkg" "$pkg.deb"
}

# Resolves, downloads and unpacks the packages (apt runs natively with an i386 configuration).
fill_root() {
  rm -rf "$WORK"; mkdir -p "$WORK"
  { echo '#!/bin/bash'; echo 'set -euo pipefail'; declare -f setup_root; echo 'setup_root "$1"'; } \
    >"$WORK/setup-root"
  chmod 755 "$WORK/setup-root"
  # Its progress lines, with the seconds since the step began.
  mmdebstrap --variant=extract --mode=root --architectures=i386 \
    --include='?essential' --include="$(IFS=,; echo "${PACKAGES[*]}")" \
    --setup-hook="$WORK/setup-root" \
    bookworm "$TARGET" "deb $MIRROR bookworm main" "deb $MIRROR bookworm-updates main" \
    "deb http://deb.debian.org/debian-security bookworm-security main" 2>&1 |
    while IFS= read -r line; do
      case "$line" in "I: "*) echo "  ${SECONDS} s: ${line#I: }" ;; *) echo "$line" ;; esac
    done
}

# What the maintainer scripts would have done that the guest relies on.
configure_root() {
  local t=$TARGET f
  # Unread by the tests (left out here rather than by mmdebstrap's filter, which is much slower).
  rm -rf "$t"/usr/share/{doc,man,info,locale}
  cp "$t/usr/share/base-passwd/passwd.master" "$t/etc/passwd"
  cp "$t/usr/share/base-passwd/group.master" "$t/etc/group"
  cp -p "$t/usr/share/libc-bin/nsswitch.conf" "$t/etc/nsswitch.conf"
  # The alternatives: Wine's commands under their plain names (wineserver, wineboot, ...), awk.
  for f in "$t"/usr/bin/*-stable; do
    f=${f##*/}; ln -sfn "$f" "$t/usr/bin/${f%-stable}"
  done
  ln -sfn mawk "$t/usr/bin/awk"
  ln -sfn which.debianutils "$t/usr/bin/which"
  # fontconfig's default choices: slight hinting, no bitmap fonts.
  for f in 10-hinting-slight.conf 70-no-bitmaps.conf; do
    ln -sfn "/usr/share/fontconfig/conf.avail/$f" "$t/etc/fonts/conf.d/$f"
  done
  # libwine's zlib for Windows programs, marked as a Wine built-in library as its script does.
  local arch dll
  for arch in i686:i386 x86_64:x86_64; do
    dll="$t/usr/${arch%%:*}-w64-mingw32/lib/zlib1.dll"
    { head -c 64 "$dll"; printf 'Wine builtin DLL'; head -c 16 /dev/zero; tail -c +97 "$dll"; } \
      >"$t/usr/lib/i386-linux-gnu/wine/${arch#*:}-windows/zlib1.dll"
  done
  depmod -b "$t" "$(kernel_version)"
  # The test locales, as install-deps.sh made them here (the archive is the same for 32-bit
  # programs).
  mkdir -p "$t/usr/lib/locale"
  cp /usr/lib/locale/locale-archive "$t/usr/lib/locale/"
  install -m 755 "$ROOT/tools/guest-init.sh" "$t/sbin/vn-guest-init"
  echo vn-guest >"$t/etc/hostname"
}

kernel_version() { ls "$TARGET/usr/lib/modules"; }

# A small initrd from the static busybox: loads what mounts the root disk (virtio's PCI transport
# and block device, ext4 and what they need), mounts it and hands over to the init named on the
# kernel's command line.
make_initrd() {
  local kver; kver=$(kernel_version)
  local rd="$WORK/initrd" m
  rm -rf "$rd"; mkdir -p "$rd"/{bin,dev,proc,newroot,modules}
  cp "$TARGET/usr/bin/busybox" "$rd/bin/"
  ln -s busybox "$rd/bin/sh"
  mknod -m 600 "$rd/dev/console" c 5 1
  : >"$rd/modules/order"
  for m in $(modprobe -d "$TARGET" -S "$kver" --show-depends -a virtio_pci virtio_blk ext4 |
             awk '$1 == "insmod" && !seen[$2]++ { print $2 }'); do
    cp "$m" "$rd/modules/"
    echo "${m##*/}" >>"$rd/modules/order"
  done
  cat >"$rd/init" <<'EOF'
#!/bin/sh
export PATH=/bin
busybox mount -t proc proc /proc
busybox mount -t devtmpfs devtmpfs /dev
# crc32c-intel is a preference only: the generic one serves where the processor lacks it.
while read -r m; do busybox insmod "/modules/$m" 2>/dev/null; done </modules/order
root=/dev/vda init=/sbin/init flags=ro
for arg in $(busybox cat /proc/cmdline); do
  case "$arg" in root=*) root=${arg#root=} ;; init=*) init=${arg#init=} ;; rw) flags=rw ;; esac
done
i=0
until [ -b "$root" ] || [ $i -ge 30 ]; do busybox sleep 1; i=$((i + 1)); done
if ! busybox mount -t ext4 -o "$flags" "$root" /newroot; then
  echo "initrd: cannot mount $root" >/dev/console
  busybox poweroff -f
fi
busybox umount /proc
busybox mount --move /dev /newroot/dev
exec busybox switch_root /newroot "$init"
EOF
  chmod 755 "$rd/init"
  (cd "$rd" && find . | cpio --quiet -o -H newc -R 0:0) | gzip -9 >"$WORK/initrd.img"
  rm -rf "$rd"
}

make_disk() {
  cp "$TARGET/boot/vmlinuz-$(kernel_version)" "$WORK/vmlinuz"
  # Room for the Wine prefixes and what the tests write.
  local mb=$(( $(du -sm "$TARGET" | cut -f1) + 2048 ))
  mkfs.ext4 -q -F -L vn-guest -d "$TARGET" "$WORK/disk.img" "${mb}M"
  rm -rf "$TARGET" "$WORK/setup-root"
}

# The guest's own caches, then a Wine prefix made once in the guest and kept in the image: making
# one takes minutes there.
make_prefix() {
  mkdir -p "$WORK/out"
  cat >"$WORK/out/job.sh" <<'EOF'
set -e
ldconfig
fc-cache -s
export WINEPREFIX=/opt/vn-guest/wineprefix WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$WINEPREFIX"
xvfb-run -a /usr/lib/wine/wine wineboot -i
wineserver -w
EOF
  guest_boot "$WORK" "$WORK/out"
  rm -rf "$WORK/out"
}

# Each step runs as a process of its own, which any failing command stops (a function run as
# step's argument would go on past failures, under an "||").
if [ "${1:-}" = --step ]; then "$2"; exit; fi
"$ROOT/tools/install-deps.sh" --guest >&2
if [ -f "$DIR/ready" ]; then echo "$DIR"; exit 0; fi
step "guest image: download and unpack the packages" "$0" --step fill_root
step "guest image: configure the system" "$0" --step configure_root
step "guest image: make the initrd" "$0" --step make_initrd
step "guest image: make the disk" "$0" --step make_disk
step "guest image: caches and the Wine prefix (in the guest)" "$0" --step make_prefix
touch "$WORK/ready"
rm -rf "$DIR"; mv "$WORK" "$DIR"
echo "$DIR"
