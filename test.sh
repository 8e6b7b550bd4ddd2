#!/usr/bin/env bash
# Sets up, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
cd "${QUENLIRA_BUILD_DIR:-build}"
ctest --output-on-failure --timeout 900 "$@"
