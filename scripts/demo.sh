#!/usr/bin/env bash
# The main job for a newcomer: install what is needed, build, and show a
# record from the shipped sample data.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target kova kova_data
build/bin/kova record show build/bin/samples/sample-7100B.test
