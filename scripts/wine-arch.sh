#!/usr/bin/env bash
# Prints the Windows architecture whose Wine runs natively here: win32 when
# this machine executes 32-bit x86 Linux programs (the 32-bit Wine loader),
# else win64. Some virtual machines cannot run 32-bit code at all; there
# the integration tests run an x86-64 build of the same sources.
if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then echo win32; else echo win64; fi
