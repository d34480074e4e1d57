# Splits the text that `bible Gen1:1-Rev22:21` prints into chapters. A
# chapter's title ("Genesis 1") stands alone between blank lines; each verse
# starts with its number, indented, and runs on in unindented lines. Writes
# one record per chapter: the title, "\037", the verses one a line, "\036".
BEGIN { ORS = "" }
function flush() { if (title != "") print title "\037" body "\036"; body = "" }
/^$/ { after_blank = 1; next }
after_blank && /^[^ ]/ { flush(); title = $0; after_blank = 0; next }
{ after_blank = 0 }
/^ +[0-9]+ / { sub(/^ +/, ""); body = body (body == "" ? "" : "\n") $0; next }
{ body = body " " $0 }
END { flush() }
