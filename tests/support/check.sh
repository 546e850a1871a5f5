# Sourced by the test scripts: check WHAT ACTUAL EXPECTED prints "ok" or "FAIL"
# with both values (a diff of them when they span lines), and counts the failures in $failures.
failures=0
check() {  # check WHAT ACTUAL EXPECTED
  if [ "$2" == "$3" ]; then
    echo "ok   $1"
  else
    echo "FAIL $1"
    case "$2$3" in
      *$'\n'*) diff <(echo "$3") <(echo "$2") | sed 's/^/       /' ;;  # several lines: what differs
      *) echo "       got:      [$2]"
         echo "       expected: [$3]" ;;
    esac
    failures=$((failures + 1))
  fi
}
