#!/usr/bin/env bash
# Installs what Gramolux needs, builds it and starts it playing the demo song.
set -uo pipefail
cd "$(dirname "$0")"
. tools/install-deps.sh
gx_install "${GX_BUILD_PACKAGES[@]}"
build=build/release
cmake --preset release >/dev/null || gx_fail "cmake configure failed (see above)"
cmake --build "$build" || gx_fail "build failed (see above)"
exec "$build/bin/gramolux" "$build/share/gramolux/01 Gramolux Serenade.wav" "$@"
