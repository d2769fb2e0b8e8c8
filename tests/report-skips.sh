#!/bin/sh
# Prints one line for each test that a ctest run skipped, with the reason the
# test gave: a line "SKIPPED: reason" from the scripts that set tests up, or
# the message of GoogleTest's GTEST_SKIP. Reads the run's JUnit report
# (ctest --output-junit FILE).
if [ $# -ne 1 ]; then
  echo "usage: report-skips.sh JUNIT_FILE" >&2
  exit 2
fi
[ -f "$1" ] || exit 0
awk '
  function unescape(text) {
    gsub(/&lt;/, "<", text); gsub(/&gt;/, ">", text); gsub(/&quot;/, "\"", text)
    gsub(/&apos;/, "\047", text); gsub(/&amp;/, "\\&", text)
    return text
  }
  function report() {
    if (skipped) print "skipped " name ": " (reason == "" ? "no reason given" : reason)
    skipped = 0
  }
  /<testcase / {
    report()
    match($0, /name="[^"]*"/); name = unescape(substr($0, RSTART + 6, RLENGTH - 7))
    skipped = /status="notrun"/; reason = ""; afterSkip = 0
    next
  }
  { line = $0; sub(/^[ \t]*<system-out>/, "", line) }
  afterSkip { if (line != "") { reason = unescape(line); afterSkip = 0 } ; next }
  line ~ /^SKIPPED: / && reason == "" { reason = unescape(substr(line, 10)) }
  line ~ /: Skipped$/ && reason == "" { afterSkip = 1 }
  END { report() }
' "$1"
