# Sourced by the test scripts: check WHAT ACTUAL EXPECTED prints "ok" or "FAIL"
# with both values, and counts the failures in $failures.
failures=0
check() {  # check WHAT ACTUAL EXPECTED
  if [ "$2" == "$3" ]; then
    echo "ok   $1"
  else
    echo "FAIL $1"
    echo "       got:      [$2]"
    echo "       expected: [$3]"
    failures=$((failures + 1))
  fi
}
