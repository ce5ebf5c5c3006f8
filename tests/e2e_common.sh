# SPDX-License-Identifier: GPL-2.0-or-later
# Shared by the end-to-end scripts of the tools, sourced after `set -u`:
#   . "$(dirname "$0")/../e2e_common.sh"
#   e2e_begin quill-chart
# e2e_begin makes the work folder $work, removed on exit together with the program under
# test when its process id is in $pid. fail reports, keeps a screenshot of the display beside
# the work folder (quill_chart_e2e_failure.png) and exits with status 1.

e2e_begin() {
    e2e_name=$1
    work=$(mktemp -d)
    pid=
    trap e2e_cleanup EXIT
}

e2e_cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
}

fail() {
    echo "$e2e_name e2e: $*" >&2
    import -window root "$work/../$(echo "$e2e_name" | tr - _)_e2e_failure.png" 2>/dev/null
    exit 1
}
