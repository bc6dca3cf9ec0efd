#!/usr/bin/env bash
# Configures and builds the project into build/ (or $BUILD_DIR); ZAJAVKI_WERROR=ON makes every
# compiler warning an error, as CI builds.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
bash "$here/scripts/deps.sh"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} \
      -DZAJAVKI_WERROR=${ZAJAVKI_WERROR:-OFF} >/dev/null
cmake --build "$build" -j"$(nproc)" "$@"
