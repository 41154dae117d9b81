#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The bash completion of varnow-cli, driven as bash drives it on Tab: options, their values and
# --only's comma-separated names. Usage: Completion.sh VARNOW_CLI COMPLETION_SCRIPT
# Exits with 77 (skipped) where bash-completion is not installed.
set -uo pipefail
program=$1
completion=$2
[[ -f /usr/share/bash-completion/bash_completion ]] || exit 77
# shellcheck disable=SC1091
source /usr/share/bash-completion/bash_completion
# shellcheck disable=SC1090
source "$completion"
# Outside a real Tab, bash refuses compopt; what it would set is not checked here.
compopt() { :; }

failed=0
# Completes the words given, the last being the one under the cursor.
expect() {
  local want=$1
  shift
  COMP_WORDS=("$program" "$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="${COMP_WORDS[*]}"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _varnow_cli "$program" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  local got="${COMPREPLY[*]}"
  if [[ "$got" != "$want" ]]; then
    echo "FAIL: varnow-cli $*<Tab> gave '$got', not '$want'"
    failed=1
  fi
}

expect "--shard" --sh
expect "--files-from" --files
expect "--changed" --cha
expect "--dry-run" --dr
expect "--null" --nu
expect "utf-8" --log-encoding u
expect "en" --log-language e
expect "script span style" --only s
expect "script,span script,style" --only script,s
expect "all" --only a
expect "script,span,font" --only script,span,f
exit $failed
