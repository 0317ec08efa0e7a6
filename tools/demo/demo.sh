#!/usr/bin/env bash
# Runs a live mission from the built programs in folder $1: the headless
# server fed by the mission generator (and, as they exist, the voice-client
# stand-in and the radar client).
set -euo pipefail
BIN=$(readlink -f "${1:-build/bin}")
echo "Vantor demo from $BIN (not yet complete)"
