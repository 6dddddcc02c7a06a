#!/usr/bin/env bash
# Everything about robustness in one run, with a summary at the end:
#   tools/reliability.sh [seconds per fuzz target, default 60]
# 1. builds and runs every fuzz target for that long (tools/run-fuzz.sh);
# 2. builds the test suite with ASan and UBSan and runs it, any report failing
#    the test that caused it (as test.sh does);
# 3. reads the link-fault tests' results from that run: which fault, what the
#    test saw happen.
# Environment: FUZZ_BUILD (default build-fuzz), ASAN_BUILD (default build-asan).
# Reports land in <ASAN_BUILD>/reliability/. Ends non-zero when any part failed.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
fuzz_build=${FUZZ_BUILD:-$top/build-fuzz}
asan_build=${ASAN_BUILD:-$top/build-asan}
out=$asan_build/reliability
status=0

"$top/tools/install-deps.sh"
rm -rf "$out"
mkdir -p "$out/gtest"
stamp=$out/start
touch "$stamp"

echo "== fuzzing, ${seconds}s per target"
FUZZ_BUILD=$fuzz_build "$top/tools/run-fuzz.sh" "$seconds" >"$out/fuzz.txt" 2>&1 || status=1

echo "== test suite under ASan and UBSan"
if "$top/tools/build.sh" "$asan_build" --asan >"$out/asan-build.txt" 2>&1; then
  (
    # shellcheck source=tools/sanitizer-env.sh
    source "$top/tools/sanitizer-env.sh"
    cd "$asan_build" &&
      GTEST_OUTPUT="xml:$out/gtest/" QT_QPA_PLATFORM=offscreen ctest -j2 --output-on-failure
  ) >"$out/asan.txt" 2>&1 || status=1
else
  echo "build failed, see $out/asan-build.txt"
  status=1
fi

echo
echo "== summary"
echo "fuzz target            executions    seconds  per second  findings"
for log in "$fuzz_build"/fuzz-findings/*/log.txt; do
  if [ ! -f "$log" ] || [ ! "$log" -nt "$stamp" ]; then
    continue # not from this run
  fi
  dir=$(dirname "$log")
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  secs=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  findings=$(find "$dir" -maxdepth 1 -newer "$stamp" \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
    -o -name 'oom-*' \) | wc -l)
  printf '%-22s %11s %10s %11s %9s\n' "$(basename "$dir")" "${runs:-?}" "${secs:-?}" "${rate:-?}" "$findings"
done
grep -E '^(findings in|no findings)' "$out/fuzz.txt" || echo "fuzzing did not finish, see $out/fuzz.txt"

python3 - "$out/gtest" <<'EOF'
import glob, sys, xml.etree.ElementTree as ET

tests = failures = skipped = 0
faults = []
failed_names = []
for path in sorted(glob.glob(sys.argv[1] + "/*.xml")):
    program = path.rsplit("/", 1)[-1][:-4]
    for case in ET.parse(path).getroot().iter("testcase"):
        if case.get("result", "completed") != "completed" and case.find("skipped") is None:
            continue
        tests += 1
        failed = case.find("failure") is not None
        failures += failed
        if failed:
            failed_names.append(program + "." + case.get("name"))
        skipped += case.find("skipped") is not None
        props = dict(case.attrib)
        props.update({p.get("name"): p.get("value") for p in case.iter("property")})
        if "fault" in props:
            faults.append((props["fault"], props.get("outcome", ""), "FAILED" if failed else "passed",
                           program + "." + case.get("name")))
print(f"\ntests run under the sanitizers: {tests}, failed: {failures}, skipped: {skipped}")
for name in failed_names:
    print(f"  failed: {name}")
print("\nlink fault -> observed outcome")
for fault, outcome, result, name in faults:
    print(f"- {fault}\n    {outcome}\n    [{result}: {name}]")
if not faults:
    print("(no link-fault results: see asan.txt)")
EOF
grep -E '^[0-9]+% tests passed|tests failed out of' "$out/asan.txt" || true
echo "reports: $out"
exit $status
