#!/usr/bin/env bash
# Runs fndtool on each sample and says what it did.
set -uo pipefail
fndtool=$1
here=$(dirname "$0")

echo "\$ fndtool version"
"$fndtool" version
