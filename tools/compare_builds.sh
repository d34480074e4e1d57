#!/usr/bin/env bash
# Runs the Linux vexa on Vexa.so of this machine's build, and another build's
# vexa on its module, over the same configurations and the same texts, and
# fails unless both print the same words, CRCs, sound codes and explanations
# of each piece: the Windows build's vexa.exe on Vexa.dll under wine64 (code
# page 1251), or the 32-bit Linux build's under qemu-i386. Each configuration
# is a directory of its own with the module copied in beside Vexa.ini and the
# word lists, as the server lays it out.
#
#   compare_builds.sh LINUX_BUILD MODULE PROGRAM [ARGUMENT...]
#
# LINUX_BUILD holds Vexa.so and tools/vexa/vexa. MODULE is the other
# build's module and PROGRAM ARGUMENT... the command that runs its vexa, e.g.
#   compare_builds.sh build build-win-x86_64/Vexa.dll tools/emulators/run_under_wine.sh build-win-x86_64/tools/vexa/vexa.exe
#   compare_builds.sh build build-i386/Vexa.so tools/emulators/run_i386.sh build-i386/tools/vexa/vexa
# The allocator line of vexa split's output is left out: the Linux machine may
# have a libib_util.so of its own.
set -euo pipefail

[ $# -ge 3 ] || { echo "usage: compare_builds.sh LINUX_BUILD MODULE PROGRAM [ARGUMENT...]" >&2; exit 2; }
linux_build=$(cd "$1" && pwd)
[ -f "$2" ] || { echo "compare_builds.sh: $2 not built" >&2; exit 2; }
other_module=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
shift 2
# The command's words that name files, made absolute: it runs from elsewhere.
other_command=()
for word in "$@"; do
  if [ -f "$word" ]; then word=$(cd "$(dirname "$word")" && pwd)/$(basename "$word"); fi
  other_command+=("$word")
done
for file in "$linux_build/Vexa.so" "$linux_build/tools/vexa/vexa"; do
  [ -f "$file" ] || { echo "compare_builds.sh: $file not built" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vexa-compare-XXXXXX")
trap 'rm -rf "$work"' EXIT
# Paths are given relative to here: the same on both sides, and on Wine's
# drive of the host's files.
cd "$work"

# Text typed in UTF-8, written in Windows-1251, the server's code page.
cp1251() { printf '%s' "$1" | iconv -f UTF-8 -t CP1251; }

# --- Configurations --------------------------------------------------------

configurations=(builtin lists cyrillic high_bytes odd_values)

write_lists() {
  { printf 'the\r\nand\r\nof\r\n'; cp1251 $'и\r\nда\r\nже\r\nЁЖ\r\n'; } >"$1/Vexa_skip.lst"
  { printf 'r&d\ntcp/ip\nc++\nc#\n'; cp1251 $'т-34\nр&д\n'; } >"$1/Vexa_tkn.lst"
}

write_configuration() {
  local directory=$1
  mkdir -p "$directory"
  case "$(basename "$directory")" in
    builtin)  # no Vexa.ini: the built-in settings, and the lists beside it unread
      write_lists "$directory" ;;
    lists)  # an empty Vexa.ini: the file's defaults, with the lists
      : >"$directory/Vexa.ini"
      write_lists "$directory" ;;
    cyrillic)  # Cyrillic letters as word characters, the phonetic letters given
      { printf '[Main]\r\nMinWordLen=3\r\nWordSet=A..Za..z0..9_\xA8\xB8\xC0..\xFF\r\n[SoundEx]\r\nNationSet=  '
        cp1251 'АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЫЭЮЯЬЪ'
        printf '\r\nTranslate=ABVGDEEGZIIKLMNOPRSTUFHCHHHIAWAXY  \r\n'; } >"$directory/Vexa.ini"
      write_lists "$directory" ;;
    high_bytes)  # every byte of the upper half a word character: each one's capital shows
      printf '[Main]\nMinWordLen=1\nWordSet=\x80..\xFF\n[SoundEx]\nNationSet=\xC0\xC1\xC2\xA8\nTranslate=ABVE\n' \
        >"$directory/Vexa.ini" ;;
    odd_values)  # a hexadecimal minimum length, a word set of ranges and dots
      printf '[Main]\nMinWordLen=$5\nWordSet=a..c..f+...0..9\n' >"$directory/Vexa.ini"
      write_lists "$directory" ;;
  esac
}

for configuration in "${configurations[@]}"; do
  for side in linux other; do write_configuration "config/$configuration/$side"; done
  cp "$linux_build/Vexa.so" "config/$configuration/linux/"
  cp "$other_module" "config/$configuration/other/"
done

# --- Texts -----------------------------------------------------------------

mkdir texts
printf '%s' "The quick-brown fox jumps over the lazy dog. R&D and r&d, TCP/IP or tcp/ip; e-mail: user@host.org,
C++ and c#, 42 snake_case __init__ x9 a I; MiXeD cAsE; tab	separated, caf$(printf '\xE9') na$(printf '\xEF')ve." \
  >texts/ascii
cp1251 "Съешь же ещё этих мягких французских булок, да выпей чаю. Ёжик и ёлка-2, ЁЛКА; Т-34 и т-34;
Иванов, Гоголь, Юрьев, Щукин, объём — Р&Д и р&д. The R&D of Ёж." >texts/cyrillic
for ((byte = 128; byte < 256; byte++)); do printf "\\x$(printf '%02x' $byte) "; done >texts/high_bytes
{
  for length in 30 31 32 40 254 255 256 300; do
    printf 'w%0*d ' $((length - 1)) 7
    head -c "$length" /dev/zero | tr '\0' '\341'  # б in Windows-1251
    printf '\n'
  done
} >texts/long_words
# BLOB-like: some hundred kilobytes of the texts above, numbered, in lines.
for ((i = 0; i < 600; i++)); do
  printf 'record %d\r\n' "$i"
  cat texts/ascii texts/cyrillic
  if [ $((i % 50)) -eq 0 ]; then cat texts/long_words; fi
done >texts/blob
texts=(ascii cyrillic high_bytes long_words blob)

# Words for StrSoundEX, as hexadecimal bytes.
sound_words=()
for word in Robert Rupert Lloyd Tymczak Ashcraft "O'Hara" 1-Rupert "" 123 Иванов иванов Гоголь Юрьев ёжик Щукин \
            Объём Ёлка "  Rupert" АБВ; do
  sound_words+=("$(cp1251 "$word" | od -An -tx1 | tr -d ' \n')")
done

# --- Runs ------------------------------------------------------------------

# run SIDE CONFIGURATION COMMAND ARGUMENT...: vexa's output without the
# allocator line, in the module's code page.
run() {
  local side=$1 configuration=$2 command=$3
  shift 3
  if [ "$side" = linux ]; then
    "$linux_build/tools/vexa/vexa" "$command" --out-cp1251 "config/$configuration/linux" "$@"
  else
    "${other_command[@]}" "$command" --out-cp1251 "config/$configuration/other" "$@"
  fi | { grep -v '^allocator: ' || true; }
}

for side in linux other; do
  for configuration in "${configurations[@]}"; do
    for text in "${texts[@]}"; do
      for mode in "" --query; do
        echo "== $configuration $text split $mode"
        run "$side" "$configuration" split $mode --file "texts/$text"
        if [ "$text" != blob ]; then
          echo "== $configuration $text explain $mode"
          run "$side" "$configuration" explain --tsv $mode --file "texts/$text"
        fi
      done
    done
    for segment in 80 32765; do
      echo "== $configuration blob split --blob $segment"
      run "$side" "$configuration" split --blob "$segment" --file texts/blob
    done
    echo "== $configuration soundex"
    run "$side" "$configuration" soundex --hex "${sound_words[@]}"
  done >"$side.out"
done
runs=$(grep -c '^== ' linux.out)

if ! cmp -s linux.out other.out; then
  echo "compare_builds.sh: $(basename "$other_module") run by ${other_command[*]} and Vexa.so differ (< Vexa.so, > the other):"
  diff linux.out other.out | head -40
  exit 1
fi
echo "compare_builds.sh: $runs runs, $(grep -vc '^== ' linux.out) lines of words, CRCs, sound codes and pieces," \
  "the same from Vexa.so and from $(basename "$other_module") run by ${other_command[*]}"
