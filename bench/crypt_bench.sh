#!/bin/sh
# vorelacrypt against openssl enc -bf-cbc on one file, side by side in one run:
# whole-process CPU (user+sys) and wall time, medians of paired runs, to a new
# output file each time. Usage: bench/crypt_bench.sh [BIN_DIR] [MB] [RUNS]
set -eu
bin=${1:-build/native/bin}
mb=${2:-64}
runs=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c "$((mb * 1024 * 1024))" /dev/urandom >"$work/plain"
"$bin/vorelacrypt" encrypt "$work/plain" "$work/ours.enc"
openssl enc -provider legacy -provider default -bf-cbc -K 6d6f737367617465 -iv 0000000000000000 -in "$work/plain" \
  -out "$work/theirs.enc"

# Prints "cpu wall" in seconds for one run of the command.
measure() {
  rm -f "$work/out"
  /usr/bin/time -f "%U %S %e" -o "$work/t" "$@" >/dev/null 2>&1
  awk '{ printf "%.3f %.3f\n", $1 + $2, $3 }' "$work/t"
}

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

row() {
  name=$1
  shift
  : >"$work/ours" && : >"$work/theirs"
  i=0
  while [ "$i" -lt "$runs" ]; do
    measure "$bin/vorelacrypt" "$name" "$work/$ours_in" "$work/out" >>"$work/ours"
    measure "$@" >>"$work/theirs"
    i=$((i + 1))
  done
  oc=$(cut -d' ' -f1 "$work/ours" | median); ow=$(cut -d' ' -f2 "$work/ours" | median)
  tc=$(cut -d' ' -f1 "$work/theirs" | median); tw=$(cut -d' ' -f2 "$work/theirs" | median)
  printf "%-8s cpu %6ss vs %6ss  ratio %5s   wall %6ss vs %6ss  ratio %5s\n" "$name" \
    "$oc" "$tc" "$(awk "BEGIN { printf \"%.2f\", $tc / $oc }")" \
    "$ow" "$tw" "$(awk "BEGIN { printf \"%.2f\", $tw / $ow }")"
}

echo "$mb MB, $runs paired runs, medians; ratio = openssl's time / ours (>= 1.0: ours is faster)"
ours_in=plain
row encrypt openssl enc -provider legacy -provider default -bf-cbc -K 6d6f737367617465 -iv 0000000000000000 \
  -in "$work/plain" -out "$work/out"
ours_in=ours.enc
row decrypt openssl enc -provider legacy -provider default -d -bf-cbc -K 6d6f737367617465 -iv 0000000000000000 \
  -in "$work/theirs.enc" -out "$work/out"
echo "commands: $bin/vorelacrypt {encrypt,decrypt} IN OUT;" \
  "openssl enc [-d] -bf-cbc -K 6d6f737367617465 -iv 0 -in IN -out OUT"
