# Shell helpers for the test scripts that run a program to its end: reporting, waiting for the
# end, and reading standard error for the runtime's clean finish. Set check_name before sourcing;
# a script ends with `((failed))` deciding its status.

failed=0
note() { echo "$check_name: $*" >&2; }
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

# expect_exit PID WHAT: waits up to 30 s for the process (a child of this shell) to end after WHAT
# (for example "SIGTERM") and expects status 0. Fails when it is still running or ended otherwise.
expect_exit() {
    local pid=$1 what=$2 status
    for ((i = 0; i < 300; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
        fail "still running 30 s after $what"
        return 1
    fi
    wait "$pid"
    status=$?
    [[ $status -eq 0 ]] || fail "exit status after $what is $status, expected 0"
}

# expect_clean_finish STDERR-FILE: the runtime's last line says it stopped cleanly and nothing
# reports a leak or a sanitizer finding.
expect_clean_finish() {
    local err=$1 findings="leak|AddressSanitizer|runtime error|ThreadSanitizer"
    grep -q "liborvaniot_core_cms_finalize:Ok\." "$err" || fail "no 'liborvaniot_core_cms_finalize:Ok.' line"
    if grep -qiE "$findings" "$err"; then
        fail "leak or sanitizer lines on standard error:"
        grep -iE "$findings" "$err" | head -20 >&2
    fi
}

# end_if_failed "LABEL=FILE"...: after a failure, shows the end of each file under its label and
# ends the script with status 1; otherwise returns.
end_if_failed() {
    ((failed)) || return 0
    local entry
    for entry in "$@"; do
        echo "--- ${entry%%=*} ---" >&2
        tail -40 "${entry#*=}" >&2
    done
    exit 1
}
