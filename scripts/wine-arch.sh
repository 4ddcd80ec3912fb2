#!/usr/bin/env bash
# Prints the Windows architecture whose Wine runs natively here: win32 when
# this machine executes 32-bit x86 Linux programs (the 32-bit Wine loader),
# else win64. Some virtual machines cannot run 32-bit code at all; there
# the integration tests run an x86-64 build of the same sources.
# MURLO_WINE_ARCH overrides the answer: inside the 32-bit lane qemu makes
# 32-bit programs start, but the lane's prefix is the 64-bit one.
if [ -n "${MURLO_WINE_ARCH:-}" ]; then echo "$MURLO_WINE_ARCH"; exit 0; fi
if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then echo win32; else echo win64; fi
