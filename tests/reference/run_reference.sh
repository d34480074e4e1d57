#!/usr/bin/env bash
# Writes the UTF-8 corpora (bench/unicode/fetch_unicode_corpus.sh) once into
# CORPUS_DIR and checks the Unicode analyzer's words of each against Python.
#   run_reference.sh PYTHON VEXA CORPUS_DIR
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
python=$1 vexa=$2 corpus=$3
[ -f "$corpus/japanese.txt" ] || bash "$here/../../bench/unicode/fetch_unicode_corpus.sh" "$corpus" > /dev/null
module_dir=$(mktemp -d)
trap 'rm -rf "$module_dir"' EXIT
"$python" "$here/unicode_words_reference.py" "$vexa" "$module_dir" \
  "$corpus/english.txt" "$corpus/german.txt" "$corpus/russian.txt" "$corpus/japanese.txt"
