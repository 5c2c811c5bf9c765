#!/usr/bin/env bash
# Proves the README's two commands on a new machine: builds a clean Debian root with debootstrap,
# from the package archive this machine installs from, puts a fresh clone of this repository (what
# is committed) in it, and runs there `bash scripts/test.sh`, then `bash scripts/run.sh` (whose
# screenshot is copied out beside the root). Needs root; takes as long as installing and testing
# everything does, so it is not part of CI.
#
#   scripts/fresh-machine.sh [--keep] [ROOT]      ROOT defaults to build-fresh-machine/root
#
# --keep leaves the root in place afterwards, to look into; it is made anew on every run.
set -euo pipefail
cd "$(dirname "$0")/.."
keep=no
if [ "${1:-}" = --keep ]; then
  keep=yes
  shift
fi
root=$(realpath -m "${1:-build-fresh-machine/root}")
if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-machine.sh: debootstrap, chroot and the mounts need root" >&2
  exit 2
fi
bash scripts/install-packages.sh debootstrap git

# shellcheck source=/dev/null
. /etc/os-release
# The archive this machine installs from: where debootstrap fetches, and the new root's sources.
sources=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' \
  'Created-By: Packages' | sort -u)
mirror=$(awk -v release="$VERSION_CODENAME" '$2 == release { print $1; exit }' <<<"$sources")
if [ -z "$mirror" ]; then
  echo "fresh-machine.sh: no package archive for $VERSION_CODENAME in apt's sources" >&2
  exit 1
fi

processes_inside() {
  local process
  for process in /proc/[0-9]*; do
    [ "$(readlink "$process/root" 2>/dev/null)" = "$root" ] && echo "${process#/proc/}"
  done
  return 0
}

take_down() {
  # What the tests left running inside (a daemon, a server) would hold the mounts.
  processes_inside | xargs -r kill -KILL 2>/dev/null || true
  sleep 1
  local mount
  for mount in $(mounts_inside | sort -r); do
    umount -l "$mount" 2>/dev/null || true
  done
  if [ -n "$(mounts_inside)" ]; then
    # Never delete through a mount: the host's /dev and /sys are bound in there.
    echo "fresh-machine.sh: still mounted, so $root stays:" $(mounts_inside) >&2
  elif [ "$keep" = no ]; then
    rm -rf --one-file-system "$root"
  fi
}

mounts_inside() {
  awk -v root="$root" '$2 == root || index($2, root "/") == 1 { print $2 }' /proc/mounts
}

if [ -e "$root" ]; then
  keep=no take_down
  [ ! -e "$root" ] || exit 1
fi
mkdir -p "$root"
trap take_down EXIT

started=$SECONDS
echo "== debootstrap $VERSION_CODENAME from $mirror into $root"
debootstrap --variant=minbase "$VERSION_CODENAME" "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
  { tail -20 "$root.debootstrap.log" >&2; exit 1; }
awk '{ print "deb " $1 " " $2 " " $3 }' <<<"$sources" >"$root/etc/apt/sources.list"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# As in a container: packages do not start their services.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"
# The tests' throwaway users get ids of their own, apart from the host's: `pkill -u` in a test in
# here must not reach a host's process that has the same id.
sed -i -e 's/^#\?SYS_UID_MIN.*/SYS_UID_MIN 40000/' -e 's/^#\?SYS_UID_MAX.*/SYS_UID_MAX 40999/' \
  -e 's/^#\?SYS_GID_MIN.*/SYS_GID_MIN 40000/' -e 's/^#\?SYS_GID_MAX.*/SYS_GID_MAX 40999/' \
  "$root/etc/login.defs"
echo "   $((SECONDS - started)) s"

# The repository as a new user clones it, with nothing of this working tree but its commits.
git clone --quiet --no-hardlinks "$PWD" "$root/root/drevanti"

# On a machine the root is a mount point, as programs that make a mount namespace of their own
# need (unshare --propagation private fails in a plain folder). The bound trees are made slaves
# first, so that nothing mounted or unmounted in them here reaches the host's.
mount --bind "$root" "$root"
mount --make-private "$root"
mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --make-rslave "$root/sys"
mount --bind /dev "$root/dev"
mount --make-rslave "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs -o mode=1777 shm "$root/dev/shm"
mount -t tmpfs -o mode=755 run "$root/run"
mkdir -p "$root/run/lock"

inside() {
  env -i HOME=/root TERM=dumb PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    chroot "$root" bash -c "cd /root/drevanti && $1"
}

# The new root has no git, sudo or anything else: the README's commands install what they need.
status=0
step=$SECONDS
echo "== bash scripts/test.sh"
inside "bash scripts/test.sh" || status=$?
echo "== bash scripts/test.sh: exit $status after $((SECONDS - step)) s"
if [ "$status" -eq 0 ]; then
  step=$SECONDS
  echo "== bash scripts/run.sh"
  inside "bash scripts/run.sh" || status=$?
  echo "== bash scripts/run.sh: exit $status after $((SECONDS - step)) s"
  shot="$root/root/drevanti/build/drevanti-screenshot.png"
  if [ -f "$shot" ]; then
    cp "$shot" "$(dirname "$root")/drevanti-screenshot.png"
    echo "   its screenshot: $(dirname "$root")/drevanti-screenshot.png"
  fi
fi
echo "== a new machine: exit $status, $((SECONDS - started)) s in all"
exit "$status"
