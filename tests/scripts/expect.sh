# shellcheck shell=bash
# The script tests' one assertion: expect WHAT ACTUAL EXPECTED counts a failure and
# shows both values when they differ; expect_summary prints PASS or the count, and
# fails when anything did.
failures=0
expect() {
  if [ "$2" != "$3" ]; then
    printf 'FAIL: %s\n  got:      %q\n  expected: %q\n' "$1" "$2" "$3"
    failures=$((failures + 1))
  fi
}
expect_summary() {
  [ "$failures" -eq 0 ] && echo "PASS" || echo "$failures failed"
  [ "$failures" -eq 0 ]
}
