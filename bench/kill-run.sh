#!/usr/bin/env bash
# Kills the commands that write the store at random moments and checks the store after each kill:
# SQLite's full check (in the store's collation) passes, and the store holds either everything it
# held before the command or everything the command writes, never a mixture; every copy in Backup/
# is sound. Not part of the tests (it runs for minutes):
#
#   bash bench/kill-run.sh BUILD/zajavki OLD-TABLES-FOLDER [KILLS]
#
# OLD-TABLES-FOLDER holds tables of the old program to import (the larger, the better, e.g. a
# Personal.DB of 100,000 rows, so that a kill can land in the middle of the work).
set -uo pipefail
zajavki=$(realpath "$1")
tables=$(realpath "$2")
kills=${3:-300}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

signature() { "$zajavki" check --root "$1" 2>&1 | sed "s|$1|ROOT|g"; }

# A root as the office has it, a copy with other contents to restore, and what each command
# leaves when it is not killed.
"$zajavki" demo --root "$work/template" >/dev/null || exit 1
cp -a "$work/template" "$work/other"
"$zajavki" import --replace "$tables" --root "$work/other" >/dev/null || exit 1
"$zajavki" backup --root "$work/other" >/dev/null || exit 1
copy=$(ls "$work"/other/Backup/tovex_*_manual.sqlite | head -1)
before=$(signature "$work/template")
after_import=$(signature "$work/other")

run() { # command root
    case "$1" in
    import) "$zajavki" import --replace "$tables" --root "$2" ;;
    restore-backup) "$zajavki" restore-backup "$copy" --root "$2" ;;
    backup) "$zajavki" backup --root "$2" ;;
    esac
}

declare -A killed=() finished=() bad=()
ops=(import restore-backup backup)
for ((i = 0; i < kills; i++)); do
    op=${ops[$((i % 3))]}
    root="$work/r$i"
    rm -rf "$work"/r*
    cp -a "$work/template" "$root"
    run "$op" "$root" >/dev/null 2>&1 &
    pid=$!
    sleep "0.$(printf '%03d' $((RANDOM % 1000)))"
    if kill -9 "$pid" 2>/dev/null; then killed[$op]=$((${killed[$op]:-0} + 1)); else finished[$op]=$((${finished[$op]:-0} + 1)); fi
    wait "$pid" 2>/dev/null
    now=$(signature "$root")
    case "$op" in
    import | restore-backup) [[ "$now" == "$before" || "$now" == "$after_import" ]] || { bad[$op]=$((${bad[$op]:-0} + 1)); echo "$op #$i: mixed or damaged store"; echo "$now" | head -3; } ;;
    backup) [[ "$now" == "$before" ]] || { bad[$op]=$((${bad[$op]:-0} + 1)); echo "backup #$i: store changed"; } ;;
    esac
    for c in "$root"/Backup/tovex_*.sqlite; do
        [ -e "$c" ] || continue
        mkdir -p "$work/probe/Base" && cp "$c" "$work/probe/Base/tovex.sqlite"
        "$zajavki" check --root "$work/probe" >/dev/null 2>&1 || { bad[$op]=$((${bad[$op]:-0} + 1)); echo "$op #$i: unsound copy $(basename "$c")"; }
        rm -rf "$work/probe"
    done
done
total_bad=0
for op in "${ops[@]}"; do
    echo "$op: killed ${killed[$op]:-0}, finished before the kill ${finished[$op]:-0}, faults ${bad[$op]:-0}"
    total_bad=$((total_bad + ${bad[$op]:-0}))
done
[ "$total_bad" -eq 0 ]
