#!/usr/bin/env bash
# Benchmark, not a test: times the translator, `gfortran -fsyntax-only` on
# the same file and `cat` (the floor of reading the file) at 1, 2, 4, 8 and
# 16 times the base size of two generated inputs, and prints the times, the
# ratio to gfortran, the growth over the 1x time and the peak memory.
#
#   bench/run.sh BUILD_FOLDER      (make bench runs it on build/)
#
# Each time is the best of REPEAT runs (default 3); the peak memory is the
# largest resident size that /usr/bin/time reports for the translator.
set -euo pipefail

build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
translator=$(cd "$build" && pwd)/vexnorscript
make_stress=$(cd "$build" && pwd)/vexnor_make_stress
make_realistic=$(cd "$build" && pwd)/vexnor_make_realistic
repeat=${REPEAT:-3}
scales=${SCALES:-"1 2 4 8 16"}
STRESS_BASE=${STRESS_BASE:-250}       # blocks of two regions, in one unit
REALISTIC_BASE=${REALISTIC_BASE:-8}   # renamed routine copies, three regions each

# The realistic mix: copies of the reference DSWAP with its three block DO
# loops as regions, each followed by a copy of IDAMAX without regions.
realistic_args=("$here/reference/dswap.f" "$here/reference/idamax.f"
                116-120:select 124-134:unroll:I 144-150:dynamic)
# Once labelled DO loops are accepted, the mix of verbatim DSYR2K copies
# (three labelled loop nests as regions) replaces it with REALISTIC=dsyr2k.
if [ "${REALISTIC:-}" = dsyr2k ]; then
  realistic_args=("$here/reference/dsyr2k.f" "$here/reference/idamax.f"
                  273-277:unroll:J 310-330:select 359-374:dynamic)
fi

for tool in /usr/bin/time gfortran "$translator" "$make_stress" "$make_realistic"; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
calc() { awk "BEGIN { print $1 }"; }

# best_of COMMAND...: the shortest wall time of $repeat runs, in seconds.
best_of() {
  local best="" start end t
  for _ in $(seq "$repeat"); do
    rm -rf "$work/Vexnor"
    start=$(now)
    "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    end=$(now)
    t=$(calc "$end - $start")
    if [ -z "$best" ] || [ "$(calc "$t < $best")" = 1 ]; then best=$t; fi
  done
  echo "$best"
}

# peak_kib COMMAND...: the peak resident size of one run, in KiB.
peak_kib() {
  rm -rf "$work/Vexnor"
  /usr/bin/time -f '%M' -o "$work/peak" "$@" >/dev/null 2>&1
  cat "$work/peak"
}

measure() {  # title generator-command...
  local title=$1; shift
  echo "== $title"
  printf '%5s %10s %7s %10s %10s %8s %8s %8s %9s %9s\n' scale bytes regions translator \
    gfortran cat 'gf/tr' growth peak_MiB peak/src
  local first=""
  for scale in $scales; do
    "$@" "$scale" > "$work/input.f"
    local bytes regions tr gf ct peak
    bytes=$(stat -c %s "$work/input.f")
    regions=$(grep 'region start$' "$work/input.f" | grep -vc 'sub region start$' || true)
    tr=$(best_of "$translator" "$work/input.f")
    gf=$(best_of gfortran -fsyntax-only "$work/input.f")
    ct=$(best_of cat "$work/input.f")
    peak=$(peak_kib "$translator" "$work/input.f")
    [ -n "$first" ] || first=$tr
    printf '%5s %10s %7s %10.3f %10.3f %8.4f %8.2f %8.1f %9.1f %9.1f\n' "${scale}x" "$bytes" "$regions" \
      "$tr" "$gf" "$ct" "$(calc "$gf / $tr")" "$(calc "$tr / $first")" \
      "$(calc "$peak / 1024")" "$(calc "$peak * 1024 / $bytes")"
  done
}

stress() { "$make_stress" $((STRESS_BASE * $1)); }
realistic() { "$make_realistic" $((REALISTIC_BASE * $1)) "${realistic_args[@]}"; }

echo "translator: $translator"
echo "gfortran:   $(gfortran --version | head -1)"
echo "best of $repeat runs; gf/tr above 1 means the translator is faster than gfortran"
measure "stress: one unit, $STRESS_BASE blocks of two regions per 1x" stress
measure "realistic: $REALISTIC_BASE routine copies of three regions and a plain routine per 1x" realistic
