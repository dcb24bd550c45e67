#!/usr/bin/env bash
# Refreshes apt's package lists, riding out a mirror caught mid-sync ("File has unexpected
# size"): a few tries, further apart each time. If the lists still will not all come, it warns
# and carries on with what did come, as apt itself does; the install that follows then fails
# plainly if a package it needs is really missing.
# Arguments: the command prefix to run apt-get with (empty for root, or "sudo").
set -uo pipefail

tries=${VX_APT_TRIES:-5}
pause=${VX_APT_PAUSE:-15}

for ((i = 1; i <= tries; i++)); do
  if "$@" apt-get update -q -o Acquire::Retries=3; then
    exit 0
  fi
  if ((i < tries)); then
    echo "velmorax: apt-get update failed (try $i of $tries); trying again in ${pause} s" >&2
    sleep "$pause"
    pause=$((pause * 2))
  fi
done
echo "velmorax: apt-get update still failing after $tries tries; going on with the lists it has" >&2
exit 0
