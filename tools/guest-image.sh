#!/usr/bin/env bash
# Builds the disk image of the 32-bit test guest from Debian's packages, once: a 32-bit Debian 12
# with its own kernel, 32-bit Wine, Xvfb, CTest, the test fonts and locales and a ready Wine
# prefix. Kept outside the source tree (see guest_dir in guest-vm.sh), in a folder named after a
# hash of the recipe, so a changed recipe builds a new image; prints that folder.
#   tools/guest-image.sh
# Never registers a binary format handler machine-wide (the test rig decides from whether 32-bit
# programs start): the Debian tools of the new system run through qemu-i386-static in a private
# user namespace with its own binfmt_misc.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$ROOT/tools/guest-vm.sh"
DIR="$(guest_dir)"
"$ROOT/tools/install-deps.sh" --guest >&2
if [ -f "$DIR/ready" ]; then echo "$DIR"; exit 0; fi

MIRROR=http://deb.debian.org/debian
PACKAGES=(wine wine32 xvfb xauth cmake fonts-liberation fonts-ipafont-gothic fonts-wqy-microhei)
WORK="$DIR.tmp"
TARGET="$WORK/root"

# in_guest_root [--net] SCRIPT: runs SCRIPT (bash) as root in a user, mount and process namespace of
# its own whose binfmt_misc starts 32-bit programs through qemu-i386-static, so the new system's
# programs can run chrooted into it. With --net the namespace gets no network, but may mount sysfs.
in_guest_root() {
  local net=()
  if [ "$1" = --net ]; then net=(--net); shift; fi
  local fifo="$WORK/ns-ready"
  rm -f "$fifo"; mkfifo "$fifo"
  # The uid and gid maps are written from here (a process cannot map more than itself); the
  # inner shell waits for them, then starts afresh so that it holds root's capabilities.
  unshare --user --mount --pid --fork "${net[@]}" --propagation private \
    bash -c 'read -r _ <"$1"; exec bash -s' _ "$fifo" <<<"
set -euo pipefail
mount -t proc proc /proc
mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
printf '%s' ':vn-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:/usr/bin/qemu-i386-static:F' >/proc/sys/fs/binfmt_misc/register
export TARGET='$TARGET' container=lxc LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
$1" &
  local pid=$!
  until [ "$(readlink "/proc/$pid/ns/user")" != "$(readlink /proc/self/ns/user)" ]; do sleep 0.1; done
  echo '0 0 65536' >"/proc/$pid/uid_map"
  echo '0 0 65536' >"/proc/$pid/gid_map"
  echo go >"$fifo"
  rm -f "$fifo"
  wait "$pid"
}

first_stage() {
  rm -rf "$WORK"; mkdir -p "$TARGET"
  debootstrap --arch=i386 --foreign --variant=minbase \
    --include=linux-image-686,iproute2,kmod bookworm "$TARGET" "$MIRROR"
  # A small initrd (the emulated tools take minutes per hundred modules): only what mounts the
  # root disk.
  mkdir -p "$TARGET/etc/initramfs-tools/conf.d"
  printf 'MODULES=list\nCOMPRESS=gzip\n' >"$TARGET/etc/initramfs-tools/conf.d/vn-guest"
  mkdir -p "$TARGET/etc/initramfs-tools/hooks"
  cat >"$TARGET/etc/initramfs-tools/hooks/vn-guest" <<'EOF'
#!/bin/sh
[ "$1" = prereqs ] && exit 0
. /usr/share/initramfs-tools/hook-functions
for m in virtio_pci virtio_blk ext4; do force_load "$m"; done
EOF
  chmod +x "$TARGET/etc/initramfs-tools/hooks/vn-guest"
}

second_stage() {
  in_guest_root --net '
for d in dev sys; do mount --rbind /$d "$TARGET/$d"; done
chroot "$TARGET" /debootstrap/debootstrap --second-stage'
}

install_packages() {
  cat >"$TARGET/etc/apt/sources.list" <<EOF
deb $MIRROR bookworm main
deb $MIRROR bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
EOF
  cp /etc/resolv.conf "$TARGET/etc/resolv.conf"
  in_guest_root "
for d in dev sys; do mount --rbind /\$d \"\$TARGET/\$d\"; done
mount -t proc proc \"\$TARGET/proc\"
chroot \"\$TARGET\" apt-get update -q
chroot \"\$TARGET\" apt-get install -y -q --no-install-recommends ${PACKAGES[*]}
chroot \"\$TARGET\" apt-get clean
rm -rf \"\$TARGET\"/var/lib/apt/lists/*"
  # The test locales, as install-deps.sh made them here (the archive is the same for 32-bit
  # programs; making it under emulation would take many minutes).
  mkdir -p "$TARGET/usr/lib/locale"
  cp /usr/lib/locale/locale-archive "$TARGET/usr/lib/locale/"
  install -m 755 "$ROOT/tools/guest-init.sh" "$TARGET/sbin/vn-guest-init"
  echo vn-guest >"$TARGET/etc/hostname"
}

make_disk() {
  cp "$TARGET"/boot/vmlinuz-* "$WORK/vmlinuz"
  cp "$TARGET"/boot/initrd.img-* "$WORK/initrd.img"
  # Room for the Wine prefixes and what the tests write.
  local mb=$(( $(du -sm "$TARGET" | cut -f1) + 2048 ))
  mkfs.ext4 -q -F -L vn-guest -d "$TARGET" "$WORK/disk.img" "${mb}M"
  rm -rf "$TARGET"
}

# A Wine prefix made once in the guest and kept in the image: making one takes minutes there.
make_prefix() {
  mkdir -p "$WORK/out"
  cat >"$WORK/out/job.sh" <<'EOF'
set -e
export WINEPREFIX=/opt/vn-guest/wineprefix WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$WINEPREFIX"
xvfb-run -a /usr/lib/wine/wine wineboot -i
wineserver -w
EOF
  guest_boot "$WORK" "$WORK/out"
  rm -rf "$WORK/out"
}

step "guest image: download the base system" first_stage
step "guest image: install the base system (emulated)" second_stage
step "guest image: install Wine, Xvfb, CTest, fonts (emulated)" install_packages
step "guest image: make the disk" make_disk
step "guest image: make the Wine prefix (in the guest)" make_prefix
touch "$WORK/ready"
rm -rf "$DIR"; mv "$WORK" "$DIR"
echo "$DIR"
