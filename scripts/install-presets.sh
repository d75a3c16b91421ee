#!/usr/bin/env bash
# Creates Brindlex's folder tree under the shared documents folder, writable for the user, and installs the
# factory presets into a sub-folder of the presets folder. The plug-in itself never creates folders.
# Usage: scripts/install-presets.sh [build folder, unused]
# BRINDLEX_SHARED_DOCUMENTS overrides the shared documents folder (used by the tests).
set -euo pipefail
cd "$(dirname "$0")/.."

# The folder the framework reports as the shared documents folder on each system.
case "$(uname -s)" in
    Darwin) shared=/Users/Shared ;;
    *)      shared=/opt ;;
esac
shared=${BRINDLEX_SHARED_DOCUMENTS:-$shared}

base="$shared/Corvantis"
presets="$base/Presets/Brindlex"
factory="$presets/Factory"
folders=("$base" "$base/Settings" "$base/Presets" "$presets" "$factory"
         "$base/IRs" "$base/IRs/Brindlex" "$base/Samples" "$base/Samples/Brindlex")

owner=${SUDO_USER:-$(id -un)}
group=$(id -gn "$owner")

# Each step runs as the user first and falls back to sudo where the shared folder is not writable.
as_needed() { "$@" 2>/dev/null || sudo "$@"; }

as_needed mkdir -p "${folders[@]}"
as_needed cp -f resources/presets/Factory/*.aup "$factory/"

# Writable for the user: the plug-in writes its settings file there and the editor saves presets there.
as_needed chown "$owner:$group" "${folders[@]}" "$factory"/*.aup
as_needed chmod u+rwx "${folders[@]}"
as_needed chmod u+rw "$factory"/*.aup

echo "Brindlex folders in $base; factory presets in $factory"
