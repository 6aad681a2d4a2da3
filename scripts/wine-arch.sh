# Which build of the Windows programs Wine can run here. The product is 32-bit; Wine runs 32-bit
# programs through its 32-bit loader, which needs a host that executes 32-bit Linux code. Some
# virtual machines cannot (exec gives "Exec format error"); there the tests run the 64-bit build
# of the same sources under Wine's 64-bit loader.

# True when the host executes Wine's 32-bit loader.
corvane_host_runs_i386() {
    # An emulator registered for 32-bit code runs it, but far too slowly to test with.
    [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && return 1
    [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The folder of programs to run under Wine for the build tree at $1.
corvane_wine_bin() {
    if corvane_host_runs_i386; then echo "$1/build/win/bin"; else echo "$1/build/win64/bin"; fi
}

# The Wine loader matching that folder.
corvane_wine_loader() {
    if corvane_host_runs_i386; then echo /usr/lib/wine/wine; else echo /usr/lib/wine/wine64; fi
}
