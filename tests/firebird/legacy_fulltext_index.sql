/* A full-text index kept in ordinary tables, filled and searched with Vexa.
   Needs the functions of vexa_functions.sql. Run with isql:
     isql -i vexa_functions.sql -i fulltext_index.sql  (or one after the other)

   Documents are named by a BIGINT key of your own (DOC_ID). Index a document
   with FT_INDEX, drop it with FT_REMOVE, usually from triggers of your own
   table (example_documents.sql shows them). Search with FT_SEARCH (all
   words, ranked by BM25), FT_SEARCH_PHRASE, FT_SEARCH_PREFIX and
   FT_SEARCH_SOUND (words that sound alike).

   After loading many documents at once, refresh the index statistics so that
   the searches use the indexes:
     SET STATISTICS INDEX FT_OCCURRENCE_WORD; SET STATISTICS INDEX FT_WORD_SOUND;
     SET STATISTICS INDEX PK_FT_OCCURRENCE; SET STATISTICS INDEX PK_FT_WORD;
     SET STATISTICS INDEX PK_FT_DOCUMENT;

   No row is shared between documents but the dictionary FT_WORD, which only
   ever gains rows (each new word in a short transaction of its own), so that
   many transactions can index at once. Run the
   indexing transactions READ COMMITTED with WAIT (the server's default for
   isql is SNAPSHOT WAIT, which works too, but sees new words of others only
   after they commit). */

CREATE EXCEPTION FT_NO_PARSER 'Vexa has no free parser handle (1024 are in use)';

/* One row per indexed document. */
CREATE TABLE FT_DOCUMENT (
  DOC_ID     BIGINT  NOT NULL,
  CRC        INTEGER NOT NULL,  /* Parser_CRC of its words: unchanged words are not indexed again */
  WORD_COUNT INTEGER NOT NULL,  /* words stored: the document's length for ranking */
  CONSTRAINT PK_FT_DOCUMENT PRIMARY KEY (DOC_ID)
);

/* Every word ever stored, with its phonetic code. */
CREATE TABLE FT_WORD (
  WORD       VARCHAR(31) NOT NULL,
  SOUND_CODE INTEGER     NOT NULL,  /* StrSoundEX of the word */
  CONSTRAINT PK_FT_WORD PRIMARY KEY (WORD)
);
CREATE INDEX FT_WORD_SOUND ON FT_WORD (SOUND_CODE);

/* Each word of each document at its position: 0, 1, 2... in the order of the
   words stored (stop words and short words leave no gap). */
CREATE TABLE FT_OCCURRENCE (
  DOC_ID BIGINT      NOT NULL,
  POS    INTEGER     NOT NULL,
  WORD   VARCHAR(31) NOT NULL,
  CONSTRAINT PK_FT_OCCURRENCE PRIMARY KEY (DOC_ID, POS)
);
CREATE INDEX FT_OCCURRENCE_WORD ON FT_OCCURRENCE (WORD, DOC_ID);

/* Working tables of the searches, private to each transaction. */
CREATE GLOBAL TEMPORARY TABLE FT_PARSED (
  POS  INTEGER     NOT NULL PRIMARY KEY,
  WORD VARCHAR(31) NOT NULL
) ON COMMIT DELETE ROWS;

CREATE GLOBAL TEMPORARY TABLE FT_QUERY_TERM (
  WORD VARCHAR(31) NOT NULL PRIMARY KEY
) ON COMMIT DELETE ROWS;

CREATE GLOBAL TEMPORARY TABLE FT_HIT (
  DOC_ID  BIGINT NOT NULL PRIMARY KEY,
  SCORE   DOUBLE PRECISION NOT NULL,
  MATCHED INTEGER NOT NULL
) ON COMMIT DELETE ROWS;

COMMIT;

SET TERM ^ ;

/* The words Vexa makes of a text, in order: with a document parser (what the
   index stores) or, with FOR_QUERY = 1, a query parser (which keeps stop
   words and short words). The parser is freed before the first row is
   returned, so a caller may stop reading at any time. */
CREATE PROCEDURE FT_WORDS (TXT BLOB SUB_TYPE TEXT, FOR_QUERY SMALLINT = 0)
RETURNS (POS INTEGER, WORD VARCHAR(31))
AS
  DECLARE H INTEGER = 0;
  DECLARE R INTEGER;
BEGIN
  DELETE FROM FT_PARSED;
  IF (FOR_QUERY = 1) THEN H = Parser_CreateQuery(); ELSE H = Parser_Create();
  IF (H = 0) THEN EXCEPTION FT_NO_PARSER;
  R = Parser_AddBlob(H, TXT);
  R = Parser_Reset(H);
  POS = 0;
  WORD = Parser_Next(H);
  WHILE (WORD <> '') DO
  BEGIN
    INSERT INTO FT_PARSED (POS, WORD) VALUES (:POS, :WORD);
    POS = POS + 1;
    WORD = Parser_Next(H);
  END
  R = Parser_Free(H);
  H = 0;
  FOR SELECT POS, WORD FROM FT_PARSED ORDER BY POS INTO POS, WORD DO SUSPEND;
  WHEN ANY DO
  BEGIN
    IF (H <> 0) THEN R = Parser_Free(H);
    EXCEPTION;
  END
END^

/* Adds a word to the dictionary unless it is there. The word is committed
   at once, in a transaction of its own: another transaction that brings the
   same word waits only for that, and the word stays even when the document
   that brought it first is rolled back. */
CREATE PROCEDURE FT_ADD_WORD (W VARCHAR(31))
AS
BEGIN
  IF (NOT EXISTS (SELECT 1 FROM FT_WORD WHERE WORD = :W)) THEN
    IN AUTONOMOUS TRANSACTION DO
    BEGIN
      INSERT INTO FT_WORD (WORD, SOUND_CODE) VALUES (:W, StrSoundEX(:W));
      WHEN GDSCODE unique_key_violation DO
      BEGIN
        /* another transaction has committed it */
      END
    END
END^

/* Indexes a document, or indexes it again; CHANGED is 0 when its words are
   the same as when it was last indexed (by their CRC) and nothing was done. */
CREATE PROCEDURE FT_INDEX (DOC_ID BIGINT, TXT BLOB SUB_TYPE TEXT)
RETURNS (CHANGED SMALLINT)
AS
  DECLARE H INTEGER = 0;
  DECLARE R INTEGER;
  DECLARE NEW_CRC INTEGER;
  DECLARE OLD_CRC INTEGER;
  DECLARE W VARCHAR(31);
  DECLARE P INTEGER = 0;
BEGIN
  CHANGED = 0;
  H = Parser_Create();
  IF (H = 0) THEN EXCEPTION FT_NO_PARSER;
  R = Parser_AddBlob(H, TXT);
  NEW_CRC = Parser_CRC(H);
  SELECT CRC FROM FT_DOCUMENT WHERE DOC_ID = :DOC_ID INTO :OLD_CRC;
  IF (OLD_CRC IS DISTINCT FROM NEW_CRC) THEN
  BEGIN
    DELETE FROM FT_OCCURRENCE WHERE DOC_ID = :DOC_ID;
    R = Parser_Reset(H);
    W = Parser_Next(H);
    WHILE (W <> '') DO
    BEGIN
      INSERT INTO FT_OCCURRENCE (DOC_ID, POS, WORD) VALUES (:DOC_ID, :P, :W);
      EXECUTE PROCEDURE FT_ADD_WORD (:W);
      P = P + 1;
      W = Parser_Next(H);
    END
    UPDATE OR INSERT INTO FT_DOCUMENT (DOC_ID, CRC, WORD_COUNT) VALUES (:DOC_ID, :NEW_CRC, :P) MATCHING (DOC_ID);
    CHANGED = 1;
  END
  R = Parser_Free(H);
  H = 0;
  WHEN ANY DO
  BEGIN
    IF (H <> 0) THEN R = Parser_Free(H);
    EXCEPTION;
  END
END^

/* Drops a document from the index. Its words stay in the dictionary. */
CREATE PROCEDURE FT_REMOVE (DOC_ID BIGINT)
AS
BEGIN
  DELETE FROM FT_OCCURRENCE WHERE DOC_ID = :DOC_ID;
  DELETE FROM FT_DOCUMENT WHERE DOC_ID = :DOC_ID;
END^

/* Drops dictionary words that no document holds any more. */
CREATE PROCEDURE FT_PURGE_WORDS
AS
BEGIN
  DELETE FROM FT_WORD W WHERE NOT EXISTS (SELECT 1 FROM FT_OCCURRENCE O WHERE O.WORD = W.WORD);
END^

/* The documents that hold every word of QUERY, best first, by BM25
   (k1 = 1.2, b = 0.75). The query is split by a query parser; its stop words
   and short words, which no document stores, are left out. */
CREATE PROCEDURE FT_SEARCH (QUERY VARCHAR(4000), MAX_ROWS INTEGER = 20)
RETURNS (DOC_ID BIGINT, SCORE DOUBLE PRECISION)
AS
  DECLARE DOCS INTEGER;
  DECLARE AVG_LENGTH DOUBLE PRECISION;
  DECLARE TERM VARCHAR(31);
  DECLARE TERMS INTEGER = 0;
  DECLARE DF INTEGER;
  DECLARE IDF DOUBLE PRECISION;
  DECLARE TF INTEGER;
  DECLARE LEN INTEGER;
  DECLARE S DOUBLE PRECISION;
  DECLARE STORED INTEGER;
BEGIN
  SELECT COUNT(*), AVG(CAST(WORD_COUNT AS DOUBLE PRECISION)) FROM FT_DOCUMENT INTO :DOCS, :AVG_LENGTH;
  IF (DOCS = 0 OR AVG_LENGTH = 0) THEN EXIT;

  DELETE FROM FT_QUERY_TERM;
  INSERT INTO FT_QUERY_TERM (WORD) SELECT DISTINCT WORD FROM FT_WORDS(:QUERY, 1);
  DELETE FROM FT_HIT;
  FOR SELECT WORD FROM FT_QUERY_TERM INTO :TERM DO
  BEGIN
    SELECT COUNT(DISTINCT DOC_ID) FROM FT_OCCURRENCE WHERE WORD = :TERM INTO :DF;
    IF (DF = 0) THEN
    BEGIN
      /* Not in the index: a stop word or short word is left out; any other
         word is in no document, and so no document holds them all. */
      SELECT COUNT(*) FROM FT_WORDS(:TERM, 0) INTO :STORED;
      IF (STORED > 0) THEN EXIT;
    END
    ELSE
    BEGIN
      TERMS = TERMS + 1;
      IDF = LN(1 + (DOCS - DF + 0.5) / (DF + 0.5));
      FOR SELECT O.DOC_ID, COUNT(*), D.WORD_COUNT
          FROM FT_OCCURRENCE O JOIN FT_DOCUMENT D ON D.DOC_ID = O.DOC_ID
          WHERE O.WORD = :TERM
          GROUP BY O.DOC_ID, D.WORD_COUNT
          INTO :DOC_ID, :TF, :LEN DO
      BEGIN
        S = IDF * TF * 2.2 / (TF + 1.2 * (0.25 + 0.75 * LEN / AVG_LENGTH));
        IF (TERMS = 1) THEN
          INSERT INTO FT_HIT (DOC_ID, SCORE, MATCHED) VALUES (:DOC_ID, :S, 1);
        ELSE
          UPDATE FT_HIT SET SCORE = SCORE + :S, MATCHED = MATCHED + 1 WHERE DOC_ID = :DOC_ID;
      END
    END
  END
  IF (TERMS = 0) THEN EXIT;
  FOR SELECT FIRST (:MAX_ROWS) DOC_ID, SCORE FROM FT_HIT WHERE MATCHED = :TERMS ORDER BY SCORE DESC, DOC_ID
      INTO :DOC_ID, :SCORE DO
    SUSPEND;
END^

/* The documents that hold the words of PHRASE one after the other (stop
   words and short words of the phrase are skipped, as the index skips them),
   with SCORE the number of times. The phrase is anchored at its rarest word,
   so that a common first word costs nothing. */
CREATE PROCEDURE FT_SEARCH_PHRASE (PHRASE VARCHAR(4000), MAX_ROWS INTEGER = 20)
RETURNS (DOC_ID BIGINT, SCORE DOUBLE PRECISION)
AS
  DECLARE WORDS INTEGER;
  DECLARE ANCHOR_WORD VARCHAR(31);
  DECLARE ANCHOR_POS INTEGER;
  DECLARE FOUND_POS INTEGER;
  DECLARE MISSING INTEGER;
BEGIN
  /* FT_WORDS leaves the phrase's words in FT_PARSED. */
  SELECT COUNT(*) FROM FT_WORDS(:PHRASE, 0) INTO :WORDS;
  IF (WORDS = 0) THEN EXIT;
  SELECT FIRST 1 P.WORD, P.POS FROM FT_PARSED P
    ORDER BY (SELECT COUNT(*) FROM FT_OCCURRENCE O WHERE O.WORD = P.WORD), P.POS
    INTO :ANCHOR_WORD, :ANCHOR_POS;
  DELETE FROM FT_HIT;
  FOR SELECT DOC_ID, POS FROM FT_OCCURRENCE WHERE WORD = :ANCHOR_WORD INTO :DOC_ID, :FOUND_POS DO
  BEGIN
    SELECT COUNT(*) FROM FT_PARSED P
      WHERE P.POS <> :ANCHOR_POS AND NOT EXISTS (
        SELECT 1 FROM FT_OCCURRENCE O
        WHERE O.DOC_ID = :DOC_ID AND O.POS = :FOUND_POS - :ANCHOR_POS + P.POS AND O.WORD = P.WORD)
      INTO :MISSING;
    IF (MISSING = 0) THEN
    BEGIN
      UPDATE FT_HIT SET SCORE = SCORE + 1 WHERE DOC_ID = :DOC_ID;
      IF (ROW_COUNT = 0) THEN INSERT INTO FT_HIT (DOC_ID, SCORE, MATCHED) VALUES (:DOC_ID, 1, 1);
    END
  END
  FOR SELECT FIRST (:MAX_ROWS) DOC_ID, SCORE FROM FT_HIT ORDER BY SCORE DESC, DOC_ID INTO :DOC_ID, :SCORE DO
    SUSPEND;
END^

/* The documents holding a word that starts with PREFIX (upper-cased as the
   index stores it), with SCORE the number of such words. */
CREATE PROCEDURE FT_SEARCH_PREFIX (PREFIX VARCHAR(31), MAX_ROWS INTEGER = 20)
RETURNS (DOC_ID BIGINT, SCORE DOUBLE PRECISION)
AS
  DECLARE STEM VARCHAR(31);
BEGIN
  SELECT FIRST 1 WORD FROM FT_WORDS(:PREFIX, 1) INTO :STEM;
  IF (STEM IS NULL) THEN EXIT;
  FOR SELECT FIRST (:MAX_ROWS) DOC_ID, COUNT(*) FROM FT_OCCURRENCE
      WHERE WORD STARTING WITH :STEM
      GROUP BY DOC_ID ORDER BY 2 DESC, 1
      INTO :DOC_ID, :SCORE DO
    SUSPEND;
END^

/* The documents holding a word that sounds like WORD (the same StrSoundEX
   code), with SCORE the number of such words, and one of them. */
CREATE PROCEDURE FT_SEARCH_SOUND (WORD VARCHAR(100), MAX_ROWS INTEGER = 20)
RETURNS (DOC_ID BIGINT, SCORE DOUBLE PRECISION, MATCHED_WORD VARCHAR(31))
AS
  DECLARE CODE INTEGER;
BEGIN
  CODE = StrSoundEX(WORD);
  FOR SELECT FIRST (:MAX_ROWS) O.DOC_ID, COUNT(*), MIN(O.WORD)
      FROM FT_WORD W JOIN FT_OCCURRENCE O ON O.WORD = W.WORD
      WHERE W.SOUND_CODE = :CODE
      GROUP BY O.DOC_ID ORDER BY 2 DESC, 1
      INTO :DOC_ID, :SCORE, :MATCHED_WORD DO
    SUSPEND;
END^

SET TERM ; ^

COMMIT;
