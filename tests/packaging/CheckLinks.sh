#!/usr/bin/env bash
# What the program loads at start-up, and that its windows module uses the
# program's core instead of carrying a copy of it:
#   CheckLinks.sh PROGRAM MODULE
set -euo pipefail
program=$1
module=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

# A console run must not pay for the window libraries or for libcurl.
needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p')
[ -n "$needed" ] || fail "no DT_NEEDED entries read from $program"
echo "$program needs:" $needed
! grep -E '^lib(Qt6Widgets|Qt6Gui|curl)\.' <<<"$needed" || fail "$program links the libraries above"

# A second copy of the core in the module would mean a second end routine,
# interrupt flag and so on. The module uses the program's ...
module_symbols=$(nm -D -C "$module")
program_symbols=$(nm -D -C --defined-only "$program")
grep -q ' U vorlix::SetMainWindowUnloader(' <<<"$module_symbols" ||
  fail "$module does not take SetMainWindowUnloader from the program"
grep -q ' T vorlix::SetMainWindowUnloader(' <<<"$program_symbols" ||
  fail "$program does not export its core"
# ... defines none of it (a core function the windows never call) ...
! grep ' [TW] vorlix::ParseChecksumList(' <<<"$module_symbols" || fail "$module carries the core"
# ... and shares no strong definition with the program at all; weak copies of
# inline functions and templates bind to the program's when it is loaded.
strong() { nm -D --defined-only "$1" | awk '$2 ~ /^[TDBR]$/ {print $3}' | sort -u; }
both=$(comm -12 <(strong "$module") <(strong "$program") | grep -vxE '_edata|_end|__bss_start' || true)
[ -z "$both" ] || fail "defined in both $module and $program: $(c++filt <<<"$both" | head -20)"
echo "no core in $module"
