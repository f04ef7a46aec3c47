# Shell helper for the scripts that check what a program asks the desktop to open.

# record_opened_urls DIR: puts an xdg-open first in PATH that writes each URL it is given to the
# file $urls (DIR/urls, one a line) instead of opening it, and exits with $HANDLER_STATUS (0 when
# unset). Wine hands ShellExecuteW's "open" of a URL to the same xdg-open.
record_opened_urls() {
    mkdir -p "$1/bin"
    urls=$1/urls
    : >"$urls"
    cat >"$1/bin/xdg-open" <<HANDLER
#!/bin/sh
echo "\$1" >>"$urls"
exit \${HANDLER_STATUS:-0}
HANDLER
    chmod +x "$1/bin/xdg-open"
    export PATH=$1/bin:$PATH
    unset BROWSER DEFAULT_BROWSER
}

# url_count: how many URLs the handler was given so far.
url_count() { wc -l <"$urls"; }

# more_urls_than N: whether the handler was given more than N URLs (for wait_for, which runs it
# again on every try).
more_urls_than() { (($(url_count) > $1)); }
