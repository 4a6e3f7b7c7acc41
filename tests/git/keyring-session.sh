#!/usr/bin/env bash
# Runs a command on a private session bus with an unlocked keyring of its own, so that the tests
# read and write tokens there and never in the user's keyring.
#   usage: keyring-session.sh <command> [args...]
set -euo pipefail
if [ -z "${DUNMAR_KEYRING_SESSION:-}" ]; then
    exec env DUNMAR_KEYRING_SESSION=1 dbus-run-session -- bash "$0" "$@"
fi
for tool in gnome-keyring-daemon secret-tool; do
    command -v "$tool" >/dev/null || { echo "keyring-session: $tool is missing (scripts/install-deps installs it)" >&2; exit 1; }
done
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
export XDG_DATA_HOME="$data"
printf 'dunmar-test' | gnome-keyring-daemon --unlock --components=secrets >/dev/null
"$@"
