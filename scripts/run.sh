#!/usr/bin/env bash
# Sets up, builds and runs the main program on the bundled sample.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo
sample="$top/samples/lcl.qmk"
if [ -x "$top/build/tools/qmk/qmk" ] && [ -f "$sample" ]; then
  exec "$top/build/tools/qmk/qmk" info "$sample" "$@"
fi
exec "$top/build/tools/qmk/qmk" --help
