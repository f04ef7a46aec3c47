#!/usr/bin/env bash
# Checks the lock rules written into the code (GUARDED_BY, REQUIRES, ACQUIRE, ...) with clang's
# thread-safety analysis: every C++ translation unit of a Linux build, as that build compiles it,
# parsed by clang++ with -Wthread-safety -Werror (-fsyntax-only: nothing is compiled or linked; the
# GCC build stays the one that makes the programs).
#
#   scripts/thread-safety-check.sh [BUILD_DIR]     # default ./build, configured when missing
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$top/build}
clang=${CLANGXX:-clang++}

command -v "$clang" >/dev/null || { echo "thread-safety-check: $clang is not installed" >&2; exit 2; }
if [[ ! -f $build/compile_commands.json ]]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
# Generated sources (Qt's moc and resources) must exist before they can be parsed.
cmake --build "$build" --target orvan_wnd_autogen orvan_shell_autogen >/dev/null 2>&1 || true

list=$(mktemp)
trap 'rm -f "$list"' EXIT
# One line per translation unit: directory, then the clang arguments (NUL-free, shell-quoted).
python3 - "$build/compile_commands.json" "$top" >"$list" <<'PY'
import json, shlex, sys
entries = json.load(open(sys.argv[1]))
top = sys.argv[2]
seen = set()
for e in entries:
    source = e["file"]
    if not source.endswith((".cpp", ".cc")) or source in seen:
        continue
    if not source.startswith(top) and "/build" not in source:
        continue
    seen.add(source)
    args = e.get("arguments") or shlex.split(e["command"])
    keep, skip = [], False
    for i, a in enumerate(args[1:], start=1):
        if skip:
            skip = False
            continue
        # GCC's precompiled test headers are not clang's: the sources include what they use.
        if a == "-include" and args[i + 1].endswith("cmake_pch.hxx"):
            skip = True
            continue
        if a in ("-o", "-MF", "-MT", "-MQ"):
            skip = True
            continue
        if a == "-c" or a.startswith("-W") or a.startswith("-fsanitize") or a == "-g" or a.startswith("-O"):
            continue
        keep.append(a)
    print(shlex.quote(e["directory"]) + " " + " ".join(shlex.quote(a) for a in keep))
PY

count=$(wc -l <"$list")
echo "thread-safety-check: $count translation units with $clang -Wthread-safety -Werror"
export clang
# Each line: cd to the unit's directory and parse it; the first failure's diagnostics are printed.
xargs -P "$(nproc)" -L 1 -a "$list" sh -c 'cd "$1" && shift && exec "$clang" -fsyntax-only -Wthread-safety -Werror "$@"' sh
echo "thread-safety-check: clean"
