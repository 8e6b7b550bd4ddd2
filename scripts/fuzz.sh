#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang and the sanitizers (into
# build-fuzz/, apart from the ordinary build) and runs each for a bounded time.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]   (default 60 s each, every target)
#   scripts/fuzz.sh 600 catalogs settings
#   QUENLIRA_FUZZ_RUNS=1000000 scripts/fuzz.sh 3600   (each target until a million
#                                                       inputs, or the time, are done)
#
# Targets: settings textfile sjis catalogs chartargs options partyfile partyreceiver scopesettings
# safefile find obslog minor. Each grows a working
# corpus in build-fuzz/fuzz/corpus-TARGET, seeded from fuzz/corpus/TARGET;
# a crash, hang or sanitizer report is written to build-fuzz/fuzz/findings-
# TARGET/ and ends that target's run with a non-zero status. A finding
# becomes an ordinary regression test under tests/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

secs=${1:-60}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(settings textfile sjis catalogs chartargs options partyfile partyreceiver scopesettings safefile find starmotion obslog minor horizon desk)

# clang and its sanitizer and libFuzzer runtimes, for this build only.
if ! command -v clang++ >/dev/null || ! compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null; then
  echo "fuzz: installing clang and its runtimes"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends clang libclang-rt-dev || \
    $sudo apt-get install -y -q --no-install-recommends clang
fi

build=${QUENLIRA_FUZZ_BUILD_DIR:-build-fuzz}
if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUENLIRA_FUZZ=ON
fi
cmake --build "$build" --target "${targets[@]/#/fuzz_}"

# The targets write their files in a private folder under TMPDIR; memory is
# quickest.
[ -d /dev/shm ] && export TMPDIR=${TMPDIR:-/dev/shm}
# Fontconfig's own lifetime allocations are not ours.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/fuzz/lsan.supp}
status=0
for t in "${targets[@]}"; do
  work="$build/fuzz/corpus-$t"
  found="$build/fuzz/findings-$t"
  mkdir -p "$work" "$found"
  echo "fuzz: $t for ${secs} s"
  if ! "$build/fuzz/fuzz_$t" -max_total_time="$secs" ${QUENLIRA_FUZZ_RUNS:+-runs=$QUENLIRA_FUZZ_RUNS} \
      -timeout=10 -rss_limit_mb=2048 \
      -max_len=16384 -artifact_prefix="$found/" -print_final_stats=1 \
      "$work" "fuzz/corpus/$t" 2>"$build/fuzz/log-$t.txt"; then
    echo "fuzz: $t found a fault; see $found/ and $build/fuzz/log-$t.txt"
    status=1
  fi
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$build/fuzz/log-$t.txt" | sed "s/^/fuzz: $t /"
done
exit $status
