# Sourced by the scripts that start the hall or the client and watch their logs.

# Waits for a line in a log file (max $2 seconds).
wait_for() {
    local pattern=$1 limit=$2 file=$3 i=0
    while ! grep -q "$pattern" "$file" 2>/dev/null; do
        sleep 0.2
        i=$((i + 1))
        if [ $i -ge $((limit * 5)) ]; then echo "timed out waiting for '$pattern'" >&2; cat "$file" >&2; return 1; fi
    done
}
