#!/usr/bin/env bash
# Builds the program and starts it on the demo root (made when missing).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
bash "$here/scripts/build.sh" --target zajavki
root=${DEMO_ROOT:-$build/demo-root}
if [ ! -f "$root/Base/tovex.sqlite" ]; then
  "$build/zajavki" demo --root "$root"
fi
exec "$build/zajavki" --root "$root"
