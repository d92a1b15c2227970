#!/usr/bin/env bash
# One end-to-end scenario through the device emulator, with the card's
# checksum (names, kinds, modes and contents) taken before and after: the
# program must leave the card as it found it.
# usage: run_scenario.sh EMU CARD SCENARIO GOLDENS OUT [--copy-card] [EMU OPTIONS...] [-- PROGRAM...]
# --copy-card runs on a writable copy of the card (for scenarios that pull it).
set -euo pipefail
emu=$1 card=$2 scenario=$3 goldens=$4 out=$5
shift 5
rm -rf "$out"
mkdir -p "$out"
if [ "${1:-}" = "--copy-card" ]; then
  shift
  cp -a "$card" "$out/card"
  card=$out/card
  set -- --writable-card "$@"
fi

checksum() {
  (cd "$1" && { find . -printf '%p %y %m %s\n' | LC_ALL=C sort
                find . -type f -print0 | LC_ALL=C sort -z | xargs -0 -r sha256sum; } | sha256sum)
}

before=$(checksum "$card")
status=0
"$emu" --card "$card" --scenario "$scenario" --goldens "$goldens" --out "$out" "$@" || status=$?
after=$(checksum "$card")
if [ "$status" -eq 0 ] && [ "$before" != "$after" ]; then
  echo "run_scenario: the card $card changed during the run" >&2
  status=1
fi
if [ "$status" -ne 0 ] && [ "$status" -ne 77 ]; then
  echo "--- the program's output ($out/kestrel.log), last lines:" >&2
  tail -30 "$out/kestrel.log" >&2 || true
fi
exit "$status"
