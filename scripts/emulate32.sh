#!/usr/bin/env bash
# Runs a command with every 32-bit x86 program emulated by qemu-i386
# (package qemu-user-static), on any machine, also one whose CPU cannot
# execute 32-bit code. qemu is registered in binfmt_misc inside a private
# user, mount and process namespace only: nothing outside sees it, and
# when the command ends, however it ends (also at the time limit), every
# process in the namespace (Wine servers, Xvfb, consoles, tests) ends with
# it. Inside, the registration takes precedence over the native loader, so
# on a machine that runs 32-bit code the programs are emulated too; a
# private binfmt_misc needs Linux 6.7 or later.
# At the time limit the command gets SIGTERM, and 30 s later everything
# left is killed.
# Usage: emulate32.sh LIMIT_SECONDS COMMAND [ARGS...]
set -euo pipefail
if [ -z "${MURLO_EMULATE32_INSIDE:-}" ]; then
    limit=$1; shift
    exec env MURLO_EMULATE32_INSIDE=1 timeout -k 30 "$limit" \
        unshare --user --map-root-user --mount --pid --fork --mount-proc --kill-child=SIGTERM \
        bash "$0" "$@"
fi
unset MURLO_EMULATE32_INSIDE

# 32-bit x86 ELF programs (executables and shared objects) go to qemu; F
# opens qemu now, whatever the programs' mounts.
if ! mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc; then
    echo "emulate32: binfmt_misc cannot be mounted in a user namespace here (it needs Linux 6.7 or later)" >&2
    exit 1
fi
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
printf '%s' ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:F" >/proc/sys/fs/binfmt_misc/register
# Proof that 32-bit code now runs through qemu: its system-call trace shows.
# Read whole first: grep -q would end at the first match and, under
# pipefail, the writer's broken pipe would fail the proof now and then.
trace=$(QEMU_STRACE=1 /lib/ld-linux.so.2 --version 2>&1 || true)
if ! grep -q 'writev(' <<<"$trace"; then
    echo "emulate32: 32-bit programs do not run through qemu-i386" >&2
    exit 1
fi
# The prefixes in here are 64-bit ones with their 32-bit half emulated,
# whatever wine-arch.sh says outside; deadlines of the tests are stretched.
export MURLO_WINE_ARCH=win64 MURLO_TEST_TIME_SCALE=${MURLO_TEST_TIME_SCALE:-30}
exec "$@"
