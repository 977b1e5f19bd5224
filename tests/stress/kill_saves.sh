#!/usr/bin/env bash
# Kills saving bvctl processes with SIGKILL at random moments and checks that every profile file
# and registry value is then the old or the new version in full, and that the next start is clean.
#   kill_saves.sh BVCTL RUNS
# make test runs it a few dozen times; `make stress` 1,000 times and prints the counts.
set -euo pipefail
bvctl=$(realpath "$1")
runs=${2:-40}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run" LANG=C.UTF-8
unset BV_VIRTUAL_MOUSE
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
docs="$HOME/Documents/Brisvane Gaming Mouse"
key="$XDG_CONFIG_HOME/bvconfig/registry/HKCU/software/BrisvaneGMMouse"

# Kills the command after a random 0 to 9 ms; prints "killed" or "done".
run_and_kill() {
  "$@" >/dev/null 2>&1 &
  local pid=$!
  sleep "0.00$((RANDOM % 10))"
  if kill -9 "$pid" 2>/dev/null; then
    wait "$pid" 2>/dev/null || true
    echo killed
  else
    wait "$pid" 2>/dev/null || true
    echo done
  fi
}

# 1. One profile file saved over and over, alternating two versions.
"$bvctl" profile new --index 0 -o "$work/red.pfd"
"$bvctl" profile new --index 1 -o "$work/blue.pfd"
cp "$work/red.pfd" "$work/p.pfd"
killed=0
for ((i = 0; i < runs; i++)); do
  [ "$(run_and_kill "$bvctl" profile new --index $((i % 2)) -o "$work/p.pfd")" = killed ] && killed=$((killed + 1))
  cmp -s "$work/p.pfd" "$work/red.pfd" || cmp -s "$work/p.pfd" "$work/blue.pfd" ||
    fail "after run $i the profile file is neither version (size $(stat -c %s "$work/p.pfd"))"
done
left=$(find "$work" -maxdepth 1 -name '.p.pfd.*' | wc -l)
echo "profile file: $runs saves, $killed killed, every file whole, $left temporary files left"

# 2. A first start (five profile files and the stored records) killed at random moments.
"$bvctl" status >/dev/null
cp -r "$HOME" "$work/reference"
killed=0
for ((i = 0; i < runs; i++)); do
  rm -rf "$HOME" && mkdir -p "$HOME"
  [ "$(run_and_kill "$bvctl" status)" = killed ] && killed=$((killed + 1))
  for dir in "$docs" "$key"; do
    [ -d "$dir" ] || continue
    for f in "$dir"/*; do
      [ -e "$f" ] || continue
      ref="$work/reference/${f#"$HOME"/}"
      cmp -s "$f" "$ref" || fail "after run $i ${f#"$HOME"/} is not the whole file ($(stat -c %s "$f") bytes)"
    done
  done
  err=$("$bvctl" status 2>&1 >/dev/null) || fail "the start after run $i failed: $err"
  [ -z "$err" ] || fail "the start after run $i was not clean: $err"
done
echo "first start: $runs runs, $killed killed, every file and record whole, every next start clean"
