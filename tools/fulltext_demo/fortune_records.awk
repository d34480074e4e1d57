# Splits fortune files (fortunes parted by lines holding only "%") into
# records: the file's name and the fortune's number, "\037", the fortune's
# lines, "\036". Blank fortunes are skipped.
BEGIN { ORS = "" }
function flush() {
  if (text ~ /[^ \t\n]/) { count[name]++; print name " " count[name] "\037" text "\036" }
  text = ""
}
FNR == 1 { flush(); name = FILENAME; sub(/.*\//, "", name) }
{ sub(/\r$/, "") }
/^%$/ { flush(); next }
{ text = text (text == "" ? "" : "\n") $0 }
END { flush() }
