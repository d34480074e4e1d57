# Checks for the demo's shell tests, sourced by them:
#   expect NAME EXPECTED ACTUAL        passes when the two are equal
#   expect_match NAME REGEX ACTUAL     passes when ACTUAL matches REGEX
#   report_and_exit                    prints the counts; fails if any failed
passed=0
failed=0

expect() {
  if [ "$2" == "$3" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAILED %s\n--- expected\n%s\n--- got\n%s\n' "$1" "$2" "$3"
  fi
}

expect_match() {
  if [[ "$3" =~ $2 ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAILED %s\n--- expected to match\n%s\n--- got\n%s\n' "$1" "$2" "$3"
  fi
}

report_and_exit() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}
