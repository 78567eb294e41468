# Shared by the shell-driven tests: a scratch folder, processes stopped at the end, bounded
# polling, failing with the program's logs, and the loopback quote host. Source it; it sets
# `work`, and start_quote_host sets `port` and `host_log`.
work=$(mktemp -d)
pids=()
harness_cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap harness_cleanup EXIT

# Says why, with the end of each program log in the scratch folder, and stops the test.
fail() {
    echo "FAIL: $*" >&2
    for log in "$work"/tickora*.log; do
        [ -s "$log" ] && { echo "--- $log" >&2; tail -n 20 "$log" >&2; }
    done
    exit 1
}

# Polls every tenth of a second, at most $1 tenths, until the command after it succeeds.
wait_for() {
    local tries=$1
    shift
    for ((i = 0; i < tries; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# The quote host on a free port, its market clock standing at 13:34 on 10 April 2024 as the
# test fixture's does; its log has a "+" line when a request arrives and a line without it when
# it has been answered.
start_quote_host() {  # host binary
    local line
    host_log=$work/host.log
    mkfifo "$work/host.out"
    "$1" --port 0 --clock 2024100:814 --log "$host_log" >"$work/host.out" 2>&1 &
    pids+=($!)
    read -r -t 10 line <"$work/host.out" || fail "quote host did not start"
    port=${line##*:}
    [[ $port =~ ^[0-9]+$ ]] || fail "quote host said: $line"
}
