/* The splitting primitives as external routines of Vexa's UDR module, for
   Firebird 3.0 and later: libvexa_udr.so (vexa_udr.dll on Windows), found in
   the directory that plugins.conf names as the UDR engine's path
   (Config = UDR_config { path = ... }), with Vexa.ini, the word lists and the
   filters beside it. Run with isql before fulltext_index.sql, instead of
   vexa_functions.sql and splitting_udf.sql: isql -i splitting_udr.sql

   Strings are in the database's default character set. WORD holds at most
   31 bytes of a word; in a UTF8 database a character that the cut would
   split is left out whole. */

/* Every word a document parser (FOR_QUERY = 0) or a query parser
   (FOR_QUERY = 1) gives for TXT, in order, POS = 0, 1, 2, ...; with
   FOR_QUERY = 2 a query parser without the word filters (words as typed,
   upper-cased: what a prefix is read as). With INDEX_NAME, the words that
   index's analyzer makes (fulltext_udr.sql): for a Unicode index its stored
   words for 0 and 1 (up to 64 characters), its prefix words for 2. */
CREATE OR ALTER PROCEDURE FT_WORDS (TXT BLOB SUB_TYPE TEXT, FOR_QUERY SMALLINT = 0,
  INDEX_NAME VARCHAR(63) CHARACTER SET UTF8 = NULL)
  RETURNS (POS INTEGER, WORD VARCHAR(64))
  EXTERNAL NAME 'vexa_udr!ft_words' ENGINE UDR;

/* The document parser's words grouped by word, one row per distinct word:
   its positions ascending, separated by one space, FREQ of them. Positions
   that do not fit in POSITIONS (250 bytes, the width fulltext_index.sql
   stores) go on in rows of PART 1, 2, ... */
CREATE OR ALTER PROCEDURE FT_TERMS (TXT BLOB SUB_TYPE TEXT)
  RETURNS (WORD VARCHAR(31), PART INTEGER, FREQ INTEGER, POSITIONS VARCHAR(250) CHARACTER SET ASCII)
  EXTERNAL NAME 'vexa_udr!ft_terms' ENGINE UDR;

/* Parser_CRC of a document parser fed TXT: -1 when it keeps no word. With
   INDEX_NAME, the CRC of the words that index's analyzer makes, as the
   index records it for a document. */
CREATE OR ALTER FUNCTION FT_CRC (TXT BLOB SUB_TYPE TEXT, INDEX_NAME VARCHAR(63) CHARACTER SET UTF8 = NULL)
  RETURNS INTEGER
  EXTERNAL NAME 'vexa_udr!ft_crc' ENGINE UDR;

/* StrSoundEX of WORD; with INDEX_NAME, the code that index's sound search
   gives it. */
CREATE OR ALTER FUNCTION FT_SOUND_CODE (WORD VARCHAR(255), INDEX_NAME VARCHAR(63) CHARACTER SET UTF8 = NULL)
  RETURNS INTEGER
  EXTERNAL NAME 'vexa_udr!ft_sound_code' ENGINE UDR;

COMMIT;
