#!/usr/bin/env bash
# The installer's writers with the real Windows adapters, in a fresh prefix: an install of every
# kind of change followed by an uninstall from the record file, and rollbacks after each possible
# stopping point, leave the registry (both views, HKCU, services) and the file tree exactly as
# they were; a shortcut made by CreateShortcut resolves to its target; CreateAgentService makes a
# service the service manager lists with its description.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
name=install_writers
source "${CORVANE_SOURCE:-$here/../..}/scripts/wine-env.sh"
# The harness reports its own failures through its return code.
wine_env_init "$name" || { echo "FAIL: no Wine machine for $name"; exit 1; }
# Wine would mirror start-menu shortcuts into the host's desktop menus (and note them in
# HKCU\Software\Wine): not part of what is tested, and nothing to leave behind on the host.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winemenubuilder.exe=d"
out=$WINE_ENV_DIR
log=$out/run.log
mkdir -p "$out/snap"
fail() { echo "FAIL: $*"; echo "(log: $log)"; exit 1; }
dir=$(wine_install_product_files 'C:\EngineCheck' enginecheck.exe)
scratch='C:\EngineCheck\Scratch'
# ec <args>: run enginecheck, keep its output in the log, fail on a non-zero exit.
ec() {
    echo "--- enginecheck $*" >>"$log"
    local r=0
    wine_run "$dir\\enginecheck.exe" "$@" 2>>"$log" | tr -d '\r' >"$out/last.txt" || r=$?
    cat "$out/last.txt" >>"$log"
    [ $r -eq 0 ] || fail "enginecheck $* exited with $r: $(grep FAILED "$out/last.txt" | head -3 | tr '\n' ' ')"
}

# snapshot <tag>: the registry in both views, HKCU, the service table and the file tree.
parts="hklm64 hklm32 hkcu services files"
snapshot() {
    local d=$out/snap/$1
    mkdir -p "$d"
    wine_reg export 'HKLM\Software' "$(winpath "$d/hklm64.utf16")" /reg:64 /y >>"$log" 2>&1
    wine_reg export 'HKLM\Software' "$(winpath "$d/hklm32.utf16")" /reg:32 /y >>"$log" 2>&1
    wine_reg export 'HKCU\Software' "$(winpath "$d/hkcu.utf16")" /y >>"$log" 2>&1
    wine_reg export 'HKLM\System\CurrentControlSet\Services' "$(winpath "$d/services.utf16")" /y >>"$log" 2>&1
    for p in hklm64 hklm32 hkcu services; do iconv -f UTF-16 -t UTF-8 "$d/$p.utf16" >"$d/$p"; rm "$d/$p.utf16"; done
    # Wine's own temporary folders change with every process; nothing of ours goes there.
    (cd "$WINEPREFIX/drive_c" && find . -path './users/*/Temp' -prune -o -path './windows/temp' -prune -o \
        -printf '%y %s %p\n' | sort) >"$d/files"
}
# same <a> <b> <what>: every part of the two snapshots is identical.
same() {
    for p in $parts; do
        diff -u "$out/snap/$1/$p" "$out/snap/$2/$p" >"$out/snap/diff-$1-$2-$p.txt" ||
            fail "$3: $p differs (see $out/snap/diff-$1-$2-$p.txt): $(head -12 "$out/snap/diff-$1-$2-$p.txt" | tail -6 | tr '\n' ' ')"
    done
}
# differs <a> <b> <part>: the install really changed that part (so the comparisons can see it).
differs() { ! cmp -s "$out/snap/$1/$3" "$out/snap/$2/$3" || fail "the install left $3 unchanged"; }

ec prepare "$scratch"
snapshot before

# 1. Every writer, the record file, then an uninstall that replays the file from its start.
ec install "$scratch"
grep -q '^wow64: yes' "$out/last.txt" && wow64=1 || wow64=0
echo "installer under WOW64: $wow64" | tee -a "$log"
snapshot installed
for p in hklm64 hkcu services files; do differs before installed $p; done
[ $wow64 -eq 0 ] || differs before installed hklm32
grep -q 'Talvoric\\EngineCheck64\\Cred' "$out/snap/installed/hklm64" || fail "64-bit view key missing"
if [ $wow64 -eq 1 ]; then
    grep -q 'Wow6432Node\\Talvoric\\EngineCheck\\Options\]' "$out/snap/installed/hklm64" ||
        fail "32-bit view key not under Wow6432Node"
fi
ec uninstall "$scratch"
grep -q '^log: Deleting file - C:\\EngineCheck\\Scratch\\Uninst.lst$' "$out/last.txt" || fail "record file not replayed first"
snapshot uninstalled
same before uninstalled "install then uninstall"
echo "install + uninstall: machine as before" | tee -a "$log"

# 2. A failing install at each point: the writers up to there, then the rollback.
for steps in 0 1 2 3 4 5 6 7 8 9 10 11 12 13; do
    ec sequence "$scratch" "$steps"
done
snapshot rolledback
same before rolledback "rollbacks"
echo "rollback after 0..13 writer steps: machine as before" | tee -a "$log"

# 3. A shortcut resolves to its target (and its rollback removes it).
ec shortcut "$scratch"
grep -q '^ok: the link resolves to its target$' "$out/last.txt" || fail "shortcut not resolved"
grep '^link target:' "$out/last.txt" | tee -a "$log"

# 4. The agent service, as the service manager lists it.
ec service 'C:\Program Files\Talvoric\HDD Corvane 9\CorvaneAgent.exe'
grep -q '^ok: the service manager lists CorvaneAgent as "CorvaneAgentService"$' "$out/last.txt" || fail "service not listed"
grep -q '^description: Talvoric HDD Corvane$' "$out/last.txt" || fail "service description"
q=$(wine_reg query 'HKLM\System\CurrentControlSet\Services\CorvaneAgent' /v Description 2>>"$log" | tr -d '\r')
grep -q 'Talvoric HDD Corvane' <<<"$q" || fail "registry of the service manager lacks the description: $q"
ec service-remove
snapshot final
same before final "shortcut and service checks"

# 5. Processes: a parent with a child, started by RunProgram, found and ended by KillProcessTree;
# the installer's own name never ends the installer.
host_dir=$(unixpath "$dir")
cp "$host_dir/enginecheck.exe" "$host_dir/cvparent.exe"
cp "$host_dir/enginecheck.exe" "$host_dir/cvchild.exe"
ec processes "$dir\\cvparent.exe" "$dir\\cvchild.exe"
grep -q '^log: Terminating process cvchild.exe$' "$out/last.txt" || fail "child not terminated by name"
grep -q '^log: Failed to LookupPrivilegeValue : ' "$out/last.txt" || fail "unknown privilege not logged"
echo "processes and privileges: as expected" | tee -a "$log"
echo "PASS: $name"
