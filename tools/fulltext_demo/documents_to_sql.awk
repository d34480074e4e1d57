# Turns records (a title, "\037", a body, "\036") into INSERT statements for
# the DOCUMENTS table, numbered from first_id, with a COMMIT after every
# `batch` rows and at the end.
BEGIN { RS = "\036"; FS = "\037"; id = first_id + 0; if (batch + 0 <= 0) batch = 500 }
NF >= 2 {
  gsub(/'/, "''")
  print "INSERT INTO DOCUMENTS (ID, TITLE, BODY) VALUES (" id ", '" $1 "', '" $2 "');"
  id++
  if (++rows % batch == 0) print "COMMIT;"
}
END { print "COMMIT;" }
