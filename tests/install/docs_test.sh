#!/usr/bin/env bash
# Builds the API reference of the Kavgraph headers and fails when Doxygen names a public class,
# function or member without a comment, or when the guide is not the reference's main page.
# Usage: docs_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
rm -f "$build/docs/warnings.txt"
if ! cmake --build "$build" --target docs >"$log" 2>&1; then
  cat "$log"
  echo "FAILED: the docs target did not build"
  exit 1
fi
failures=0
undocumented=$(grep 'is not documented' "$build/docs/warnings.txt" | sort -u || true)
if [ -n "$undocumented" ]; then
  echo "$undocumented"
  echo "FAILED: $(wc -l <<<"$undocumented") public names without a comment"
  failures=$((failures + 1))
fi
if ! grep -q 'Kavgraph for C++/Qt developers' "$build/docs/html/index.html"; then
  echo "FAILED: the guide is not the main page"
  failures=$((failures + 1))
fi
for page in classkavgraph_1_1TKVDiagramBox.html classkavgraph_1_1TKVStyleLibrary.html; do
  [ -f "$build/docs/html/$page" ] || { echo "FAILED: no page $page"; failures=$((failures + 1)); }
done
[ "$failures" = 0 ]
