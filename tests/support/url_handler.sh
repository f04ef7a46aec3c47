# Shell helper for the scripts that check what a program asks the desktop to open.

# record_opened_urls DIR: puts an xdg-open first in PATH that writes each URL it is given to the
# file $urls (DIR/urls, one a line) and the user id it ran as to $uids instead of opening it, and
# exits with $HANDLER_STATUS (0 when unset). Wine hands ShellExecuteW's "open" of a URL to the same
# xdg-open. The programs under test run as root on nobody's behalf unless a test sets SUDO_UID; the
# files are writable by any user the handler may run as.
record_opened_urls() {
    mkdir -p "$1/bin"
    urls=$1/urls
    uids=$1/uids
    : >"$urls"
    : >"$uids"
    chmod 666 "$urls" "$uids"
    cat >"$1/bin/xdg-open" <<HANDLER
#!/bin/sh
echo "\$1" >>"$urls"
id -u >>"$uids"
exit \${HANDLER_STATUS:-0}
HANDLER
    chmod 755 "$1/bin" "$1/bin/xdg-open"
    export PATH=$1/bin:$PATH
    unset BROWSER DEFAULT_BROWSER SUDO_UID PKEXEC_UID
}

# url_count: how many URLs the handler was given so far.
url_count() { wc -l <"$urls"; }

# more_urls_than N: whether the handler was given more than N URLs (for wait_for, which runs it
# again on every try).
more_urls_than() { (($(url_count) > $1)); }
