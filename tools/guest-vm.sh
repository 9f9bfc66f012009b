# Sourced by guest-image.sh and run-guest-tests.sh: the 32-bit test guest (full-system emulation,
# since this kernel may run no 32-bit code) and a timer for the steps of a run.

# Folder of the cached guest: ${VN_GUEST_CACHE:-/var/cache/vn-guest}/<hash of the image recipe>.
guest_dir() {
  local tools; tools="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
  local key; key=$(cat "$tools/guest-image.sh" "$tools/guest-init.sh" "$tools/test-locales.txt" |
    sha256sum | cut -c1-16)
  echo "${VN_GUEST_CACHE:-${XDG_CACHE_HOME:-/var/cache}/vn-guest}/$key"
}

# step NAME COMMAND...: runs COMMAND and prints how long it took.
step() {
  local name=$1; shift
  local t0=$SECONDS rc=0
  echo "== $name"
  "$@" || rc=$?
  if [ "$rc" -eq 0 ]; then echo "== $name: $((SECONDS - t0)) s"
  else echo "== $name: $((SECONDS - t0)) s, failed ($rc)"; fi
  return $rc
}

# guest_boot DIR OUT [SNAPSHOT] [SRC...]: boots the guest in DIR, shares each SRC folder read-only
# at its own path and OUT writable at its own path, runs OUT/job.sh there (its output goes to our
# standard output) and returns that script's exit status. With SNAPSHOT=snapshot, the disk image
# is left unchanged.
guest_boot() {
  local dir=$1 out=$2 snapshot=${3:-} i=0 share args=() srcs=""
  shift 3 || shift $#
  for share in "$@"; do
    args+=(-virtfs "local,path=$share,mount_tag=src$i,security_model=none,readonly=on")
    srcs+="${srcs:+,}$share"; i=$((i + 1))
  done
  rm -f "$out/job.rc"
  # -smap off: with it, every Wine process oopses at an iret under emulation.
  timeout "${VN_GUEST_TIMEOUT:-3600}" qemu-system-i386 -accel tcg -cpu max,-smap -smp 2 -m 2048 -display none -monitor none \
    -serial stdio -no-reboot -nic none \
    -kernel "$dir/vmlinuz" -initrd "$dir/initrd.img" \
    -append "root=/dev/vda rw console=ttyS0 quiet init=/sbin/vn-guest-init vn.src=$srcs vn.out=$out" \
    -drive "file=$dir/disk.img,format=raw,if=virtio${snapshot:+,snapshot=on}" \
    -virtfs "local,path=$out,mount_tag=out,security_model=none" "${args[@]}" \
    </dev/null | sed -u 's/\r$//'
  if [ ! -s "$out/job.rc" ]; then echo "guest: the job did not finish" >&2; return 1; fi
  return "$(cat "$out/job.rc")"
}
