#!/usr/bin/env bash
# Sets up, builds and starts Quenlira.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
bin="${QUENLIRA_BUILD_DIR:-build}/bin"
if [ -x "$bin/quenlira" ]; then
  exec "$bin/quenlira" "$@"
fi
echo "The window program is not built yet. What exists:"
ls "$bin"
