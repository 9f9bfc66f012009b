#!/bin/sh
# First process of the test guest: mounts the host's shares named on the kernel command line at
# their own paths (vn.src: read-only, comma-separated; vn.out: writable), runs the job the host
# left in vn.out/job.sh, keeps its exit status in vn.out/job.rc and powers off.
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root
mount -t proc proc /proc
mount -t sysfs sysfs /sys 2>/dev/null
mount -t devtmpfs devtmpfs /dev 2>/dev/null
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
for d in /dev/shm /tmp /run; do mount -t tmpfs tmpfs "$d"; done
ip link set lo up
modprobe -a 9pnet_virtio 9p
src=""; out=""
for arg in $(cat /proc/cmdline); do
  case "$arg" in
    vn.src=*) src="${arg#vn.src=}" ;;
    vn.out=*) out="${arg#vn.out=}" ;;
  esac
done
# Without the page cache, pages of programs mapped from a share read as zeros; the host changes
# nothing under the guest while it runs, so caching everything is safe.
opts=trans=virtio,version=9p2000.L,msize=262144,cache=loose
i=0
for dir in $(echo "$src" | tr ',' ' '); do
  mkdir -p "$dir" && mount -t 9p -o "$opts,ro" "src$i" "$dir"
  i=$((i + 1))
done
mkdir -p "$out" && mount -t 9p -o "$opts" out "$out"
bash "$out/job.sh" </dev/null >/dev/console 2>&1
echo $? >"$out/job.rc"
umount "$out"
mount -o remount,ro /
sync
echo o >/proc/sysrq-trigger
sleep 60
