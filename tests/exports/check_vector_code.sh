#!/usr/bin/env bash
# Fails when a 32-bit x86 module touches an MMX, SSE or AVX register outside
# the named functions, which run only once the processor has said it has
# their instructions: a 32-bit server's processor may have none of them, and
# an emulator that runs them anyway would not notice.
#
#   check_vector_code.sh OBJDUMP MODULE FUNCTION...
set -euo pipefail

[ $# -ge 2 ] || { echo "usage: check_vector_code.sh OBJDUMP MODULE FUNCTION..." >&2; exit 2; }
objdump=$1 module=$2
shift 2

# The (mangled) names of the functions with an instruction naming %mm0..7,
# %xmm or %ymm registers. A label of a section's name marks data the linker
# placed among the code (MinGW's .gcc_except_table), not instructions.
using=$("$objdump" -d -j .text --no-show-raw-insn "$module" | awk '
  /^[0-9a-f]+ <.*>:$/ { name = $2; gsub(/^<|>:$/, "", name); next }
  /%[xy]?mm[0-9]/ && name !~ /^\./ { print name }' | sort -u)

# A function is named by its plain name, which its mangled name holds after
# its length ("UpdateByFolding" in "_ZN4vexa12_GLOBAL__N_115UpdateByFoldingEPKhjj").
unexpected=()
for function in $using; do
  allowed=no
  for name in "$@"; do
    case "$function" in "$name" | *"${#name}$name"*) allowed=yes ;; esac
  done
  [ $allowed = yes ] || unexpected+=("$function")
done
if [ ${#unexpected[@]} -gt 0 ]; then
  echo "check_vector_code.sh: vector registers in $module outside ${*:-(none)}: ${unexpected[*]}" >&2
  exit 1
fi
echo "vector registers only in: ${using:-(none)}" | tr '\n' ' '
echo
