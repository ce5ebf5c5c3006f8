#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Sets up, builds and runs Tessera. Without arguments tessera opens the calculator window
# where a display exists and prints the default design's report on the terminal otherwise;
# arguments go to tessera (see tessera --help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build >&2
exe=build/bin/tessera
if [ ! -x "$exe" ]; then
    echo "run: the tessera program is not built yet; built so far:" >&2
    ls build/bin >&2 || true
    exit 1
fi
exec "$exe" "$@"
