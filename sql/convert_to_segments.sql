/* Converts a full-text index of the portable row design (fulltext_index.sql,
   fulltext_search.sql, fulltext_query.sql) into the segment index served by
   the UDR module, in place, without splitting any document again: each
   document's stored words, positions, CRC and length go over as they are.
   Stop indexing first, then run, with isql:
     isql -i splitting_udr.sql -i fulltext_udr.sql -i convert_to_segments.sql
   fulltext_udr.sql replaces FT_INDEX, FT_REMOVE and the searches, so that
   your triggers and queries go on as they were; this script moves the
   documents over, merges them into one segment and drops the row design's
   tables and procedures. */

CREATE OR ALTER PROCEDURE FT_CONVERT_ROWS
  RETURNS (CONVERTED INTEGER)
  EXTERNAL NAME 'vexa_udr!ft_convert_rows' ENGINE UDR;
COMMIT;

SELECT CONVERTED AS "Documents converted" FROM FT_CONVERT_ROWS;
COMMIT;
EXECUTE PROCEDURE FT_MAINTAIN;
COMMIT;

DROP PROCEDURE FT_CONVERT_ROWS;
DROP PROCEDURE FT_SEARCH_PLAN;
DROP PROCEDURE FT_SNIPPET_MARK;
DROP PROCEDURE FT_PARSE_QUERY;
DROP PROCEDURE FT_PLAN_ADD_PIECE;
DROP PROCEDURE FT_PLAN_ADD_ITEM;
DROP PROCEDURE FT_SCORE_TERMS;
DROP PROCEDURE FT_PHRASE_DOCS;
DROP FUNCTION FT_DOCUMENT_FREQUENCY;
DROP FUNCTION FT_TERM_FREQUENCY;
COMMIT;
DROP PROCEDURE FT_PURGE_WORDS;
DROP PROCEDURE FT_FOLD_WORDS;
DROP PROCEDURE FT_COUNT_CHANGE;
DROP PROCEDURE FT_FOLD_STATS;
DROP PROCEDURE FT_FOLD_TERM_DOCS;
COMMIT;
DROP TABLE FT_PLAN_MATCH;
DROP TABLE FT_TERM_HIT;
DROP TABLE FT_PLAN_TERM;
DROP TABLE FT_PLAN_PIECE;
DROP TABLE FT_PLAN;
DROP TABLE FT_SNIPPET_CHUNK;
DROP TABLE FT_PHRASE_WORD;
DROP TABLE FT_TERM_SET;
DROP TABLE FT_POSTING;
DROP TABLE FT_TERM_TOTAL;
DROP TABLE FT_TERM_DOCS;
DROP TABLE FT_STATS;
DROP TABLE FT_WORD;
DROP TABLE FT_DOCUMENT;
DROP SEQUENCE FT_TERM_SET_ID;
DROP SEQUENCE FT_STATS_CHANGE;
COMMIT;
