# Splits the text that `bible Gen1:1-Rev22:21` prints into verses: one record
# per verse, "Genesis 1:1", "\037", the verse's text, "\036". A chapter's
# title stands alone between blank lines; each verse starts with its number,
# indented, and runs on in unindented lines.
BEGIN { ORS = "" }
function flush() { if (verse != "") print chapter ":" verse "\037" text "\036"; verse = "" }
/^$/ { after_blank = 1; next }
after_blank && /^[^ ]/ { flush(); chapter = $0; after_blank = 0; next }
{ after_blank = 0 }
/^ +[0-9]+ / { flush(); verse = $1; text = $0; sub(/^ +[0-9]+ /, "", text); next }
{ text = text " " $0 }
END { flush() }
