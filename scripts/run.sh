#!/usr/bin/env bash
# Installs what is missing, builds and starts the editor on the given image, or on the generated
# sample image when no path is given.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh"
image=${1:-}
if [ -z "$image" ]; then
    image="$root/build/sample.smc"
    "$root/build/tools/sample/tavrin-sample" "$image"
fi
exec "$root/build/app/tavrin-editor" "$image"
