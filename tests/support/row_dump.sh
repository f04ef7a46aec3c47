# Shell helpers that read the device list's rows from the file the finder writes when
# ORVAN_DUMP_ROWS_TO names one: six lines of state ("rows 3", "selected 1", "web-gui enabled", ...),
# then one line a row with its cells separated by tabs (model, MAC, IP, name, location). Set
# rows_file before use.

# field NAME: the value of a state line.
field() { sed -n "s/^$1 //p" "$rows_file" 2>/dev/null; }
# dump_says NAME VALUE: whether the state line NAME reads VALUE.
dump_says() { [[ $(field "$1") == "$2" ]]; }
# ip_of_row N: the IP address of row N (from 0, top to bottom).
ip_of_row() { awk -F'\t' -v n="$1" 'NR == 7 + n { print $3; exit }' "$rows_file"; }
# row_of IP: the whole row of the device with that address; row_index_of IP: its row number.
row_of() { awk -F'\t' -v ip="$1" 'NR > 6 && $3 == ip { print; exit }' "$rows_file"; }
row_index_of() { awk -F'\t' -v ip="$1" 'NR > 6 && $3 == ip { print NR - 7; exit }' "$rows_file"; }
listed() { [[ -n $(row_of "$1") ]]; }
