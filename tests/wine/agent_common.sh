# shellcheck shell=bash
# Helpers shared by the agent service's Wine tests (sourced after scripts/wine-env.sh).

fail() { echo "FAIL: $*"; echo "(output: ${WINE_ENV_DIR:-?})"; exit 1; }
expect_eq() { [ "$1" = "$2" ] || fail "$3: expected '$2', got '$1'"; }
expect_debug() {
    wine_debug_lines | grep -qxF -- "$1" || fail "no debug line '$1' in: $(wine_debug_lines | tr '\n' '|')"
}

# The control program's client, as agentctl.exe runs it; stdout without CR.
agentctl() { wine_run 'C:\Corvane\agentctl.exe' "$@" | tr -d '\r'; }

# Port 30000 is the host's own under Wine when the test shares the host's network
# (WINE_ENV_NETNS=0): another test's agent may still hold it.
agent_port_wait_free() {
    local i
    for i in $(seq 1 120); do
        ss -ltn | grep -qE ':30000 ' || return 0
        sleep 1
    done
    return 1
}

# Waits until the agent answers a request (the listener comes up shortly after the start).
agent_wait_answering() {
    local i r
    for i in $(seq 1 60); do
        r=$(WINEDEBUG=-all agentctl get-vdisk)
        [ "$r" != "result=-1" ] && [ -n "$r" ] && return 0
        sleep 0.5
    done
    return 1
}
