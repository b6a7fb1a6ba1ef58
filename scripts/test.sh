#!/bin/bash
# Builds everything and runs every test under Wine, on a private Xvfb.
# Usage: scripts/test.sh [ctest arguments...]
set -euo pipefail
. "$(dirname "$0")/wine-session.sh"

cd "$BUILD_DIR"
ctest --output-on-failure --timeout 300 "$@"
