/* Splitting a text into index words for the full-text index, written in
   PSQL over the nine external functions of vexa_functions.sql. Run it after
   vexa_functions.sql and before fulltext_index.sql:
     isql -i vexa_functions.sql -i splitting_udf.sql -i fulltext_index.sql -i fulltext_search.sql

   Four objects make the whole interface that the index and its searches use:
     FT_WORDS(TXT, FOR_QUERY)  every word of a text, in order, with its position
     FT_TERMS(TXT)             a document's words grouped by word, with their positions
     FT_CRC(TXT)               Parser_CRC of a document's words (-1 without words)
     FT_SOUND_CODE(WORD)       StrSoundEX of a word
   A NULL text counts as an empty one. Nothing else of the index calls a
   Parser_* function. The procedures and functions are created or replaced,
   so the script may run again over an installed index. */

CREATE OR ALTER EXCEPTION FT_NO_PARSER 'Vexa has no free parser handle (1024 are in use)';

/* Numbers the splitting calls of a transaction, so that calls within one
   statement (a join of two FT_WORDS, FT_WORDS inside a loop over another)
   keep their words apart. */
CREATE SEQUENCE FT_SPLIT_CALL;

/* The words of each splitting call, private to the transaction. A call
   removes its rows once its caller has read them all. */
CREATE GLOBAL TEMPORARY TABLE FT_SPLIT_WORD (
  CALL_ID BIGINT      NOT NULL,
  POS     INTEGER     NOT NULL,
  WORD    VARCHAR(31) NOT NULL
) ON COMMIT DELETE ROWS;
CREATE INDEX FT_SPLIT_WORD_CALL ON FT_SPLIT_WORD (CALL_ID);

COMMIT;

SET TERM ^ ;

/* Splits TXT with a document parser (FOR_QUERY = 0) or a query parser
   (FOR_QUERY = 1) into FT_SPLIT_WORD under a new CALL_ID, which it returns.
   The parser is freed on every path, before any word is handed on. */
CREATE OR ALTER PROCEDURE FT_SPLIT (TXT BLOB SUB_TYPE TEXT, FOR_QUERY SMALLINT)
RETURNS (CALL_ID BIGINT)
AS
  DECLARE H INTEGER = 0;
  DECLARE R INTEGER;
  DECLARE P INTEGER = 0;
  DECLARE W VARCHAR(31);
BEGIN
  CALL_ID = NEXT VALUE FOR FT_SPLIT_CALL;
  IF (FOR_QUERY = 1) THEN H = Parser_CreateQuery(); ELSE H = Parser_Create();
  IF (H = 0) THEN EXCEPTION FT_NO_PARSER;
  IF (TXT IS NOT NULL) THEN R = Parser_AddBlob(H, TXT);
  R = Parser_Reset(H);
  W = Parser_Next(H);
  WHILE (W <> '') DO
  BEGIN
    INSERT INTO FT_SPLIT_WORD (CALL_ID, POS, WORD) VALUES (:CALL_ID, :P, :W);
    P = P + 1;
    W = Parser_Next(H);
  END
  R = Parser_Free(H);
  H = 0;
  WHEN ANY DO
  BEGIN
    IF (H <> 0) THEN R = Parser_Free(H);
    EXCEPTION;
  END
END^

/* The words Vexa makes of a text, in order, POS = 0, 1, 2...: with a
   document parser (what the index stores) or, with FOR_QUERY = 1, a query
   parser (which keeps stop words and short words). FOR_QUERY = 2 asks for
   the words as typed (what a prefix is read as); the nine functions have no
   parser without the word filters, so here it is the query parser's words,
   rewritten by the filters like any other (splitting_udr.sql's FT_WORDS
   leaves them as typed). A caller may stop reading at any time. */
CREATE OR ALTER PROCEDURE FT_WORDS (TXT BLOB SUB_TYPE TEXT, FOR_QUERY SMALLINT = 0)
RETURNS (POS INTEGER, WORD VARCHAR(31))
AS
  DECLARE CALL_ID BIGINT;
BEGIN
  EXECUTE PROCEDURE FT_SPLIT (:TXT, IIF(:FOR_QUERY IN (1, 2), 1, 0)) RETURNING_VALUES :CALL_ID;
  FOR SELECT POS, WORD FROM FT_SPLIT_WORD WHERE CALL_ID = :CALL_ID ORDER BY POS INTO :POS, :WORD DO
    SUSPEND;
  DELETE FROM FT_SPLIT_WORD WHERE CALL_ID = :CALL_ID;
END^

/* A document's words grouped by word, one row per distinct word (and per
   250 bytes of its positions, the width fulltext_index.sql stores):
   POSITIONS lists the word's positions in ascending order, separated by one
   blank; FREQ is how many it lists. The positions of a word that do not fit
   go on in rows of PART 1, 2... */
CREATE OR ALTER PROCEDURE FT_TERMS (TXT BLOB SUB_TYPE TEXT)
RETURNS (WORD VARCHAR(31), PART INTEGER, FREQ INTEGER, POSITIONS VARCHAR(250) CHARACTER SET ASCII)
AS
  DECLARE CALL_ID BIGINT;
  DECLARE W VARCHAR(31);
  DECLARE P INTEGER;
  DECLARE NUMBER VARCHAR(11) CHARACTER SET ASCII;
BEGIN
  EXECUTE PROCEDURE FT_SPLIT (:TXT, 0) RETURNING_VALUES :CALL_ID;
  FOR SELECT WORD, POS FROM FT_SPLIT_WORD WHERE CALL_ID = :CALL_ID ORDER BY WORD, POS INTO :W, :P DO
  BEGIN
    NUMBER = P;
    IF (W IS DISTINCT FROM WORD) THEN
    BEGIN
      IF (WORD IS NOT NULL) THEN SUSPEND;
      WORD = W;
      PART = 0;
      FREQ = 1;
      POSITIONS = NUMBER;
    END
    ELSE IF (CHAR_LENGTH(POSITIONS) + 1 + CHAR_LENGTH(NUMBER) > 250) THEN
    BEGIN
      SUSPEND;
      PART = PART + 1;
      FREQ = 1;
      POSITIONS = NUMBER;
    END
    ELSE
    BEGIN
      FREQ = FREQ + 1;
      POSITIONS = POSITIONS || ' ' || NUMBER;
    END
  END
  IF (WORD IS NOT NULL) THEN SUSPEND;
  DELETE FROM FT_SPLIT_WORD WHERE CALL_ID = :CALL_ID;
END^

/* Parser_CRC of a document parser given TXT: -1 when it keeps no word. */
CREATE OR ALTER FUNCTION FT_CRC (TXT BLOB SUB_TYPE TEXT)
RETURNS INTEGER
AS
  DECLARE H INTEGER = 0;
  DECLARE R INTEGER;
  DECLARE CRC INTEGER;
BEGIN
  H = Parser_Create();
  IF (H = 0) THEN EXCEPTION FT_NO_PARSER;
  IF (TXT IS NOT NULL) THEN R = Parser_AddBlob(H, TXT);
  CRC = Parser_CRC(H);
  R = Parser_Free(H);
  H = 0;
  RETURN CRC;
  WHEN ANY DO
  BEGIN
    IF (H <> 0) THEN R = Parser_Free(H);
    EXCEPTION;
  END
END^

/* The phonetic code of a word (StrSoundEX). */
CREATE OR ALTER FUNCTION FT_SOUND_CODE (WORD VARCHAR(255))
RETURNS INTEGER
AS
BEGIN
  RETURN StrSoundEX(COALESCE(WORD, ''));
END^

SET TERM ; ^

COMMIT;
