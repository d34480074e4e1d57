/* A full-text index kept in ordinary tables. Needs the splitting procedures
   (splitting_udf.sql over the functions of vexa_functions.sql, or
   splitting_udr.sql); the searches are in fulltext_search.sql and
   fulltext_query.sql. Run with isql:
     isql -i vexa_functions.sql -i splitting_udf.sql -i fulltext_index.sql -i fulltext_search.sql -i fulltext_query.sql

   Documents are named by a BIGINT key of your own (DOC_ID). Index a document
   with FT_INDEX, drop it with FT_REMOVE, usually from triggers of your own
   table (example_documents.sql shows them).

   The tables:
     FT_DOCUMENT  a row per document: the CRC of its words, its length in words;
     FT_POSTING   a row per word per document: how often the word occurs, and
                  where (its positions, as decimal numbers separated by blanks;
                  beyond 250 bytes they go on in further rows, see FT_POSTING);
     FT_WORD      the dictionary of words with their phonetic codes;
     FT_STATS     the collection's document count and total length, as changes
                  that add up (folded into one row now and then);
     FT_TERM_DOCS each word's document count, as changes that add up, so that
                  no search counts a common word's postings;
     FT_TERM_TOTAL  each word's document count as of the last fold of those
                  changes (a word's count is its total plus its changes).

   Documents share no row but those of FT_WORD, FT_STATS and FT_TERM_DOCS, and none is
   ever updated by an indexing transaction: a new word is inserted by the
   transaction that brings it, without looking for the writers of others, so
   that two transactions bringing the same word neither wait for nor block
   each other. A word may thus be there twice; the searches read it once,
   and FT_MAINTAIN folds it. Index in READ COMMITTED transactions when many
   connections index at once (SNAPSHOT works too).

   After loading many documents at once, refresh the selectivity of the
   index's indexes (the searches name their plans, but your own queries may
   not):
     SET STATISTICS INDEX PK_FT_POSTING; SET STATISTICS INDEX FT_POSTING_DOC;
     SET STATISTICS INDEX PK_FT_DOCUMENT; SET STATISTICS INDEX FT_WORD_WORD;
     SET STATISTICS INDEX FT_WORD_SOUND; SET STATISTICS INDEX FT_TERM_DOCS_WORD;
     SET STATISTICS INDEX PK_FT_TERM_TOTAL; */

CREATE TABLE FT_DOCUMENT (
  DOC_ID     BIGINT  NOT NULL,
  CRC        INTEGER NOT NULL,
  WORD_COUNT INTEGER NOT NULL,
  CONSTRAINT PK_FT_DOCUMENT PRIMARY KEY (DOC_ID)
);
CREATE TABLE FT_WORD (
  WORD       VARCHAR(31) NOT NULL,
  SOUND_CODE INTEGER     NOT NULL
);
CREATE INDEX FT_WORD_WORD ON FT_WORD (WORD);
CREATE INDEX FT_WORD_SOUND ON FT_WORD (SOUND_CODE);

COMMIT;

COMMENT ON TABLE FT_DOCUMENT IS 'One row per indexed document: CRC (of its words: unchanged words are not indexed again) and WORD_COUNT (its length for ranking)';
COMMENT ON TABLE FT_WORD IS 'Every word stored, with its StrSoundEX code; a word may be there twice (see FT_FOLD_WORDS)';

/* A word's positions in a document, ascending, in rows of at most 250 bytes
   (a longer column costs a row its length again: the record compression of
   Firebird 3 stores an empty tail in two bytes per 128), as FT_TERMS gives
   them. Row PART = 0 holds the first positions; further rows, for the few
   words that occur often in a long document, have PART 1, 2, ... and later
   positions. */
CREATE TABLE FT_POSTING (
  WORD      VARCHAR(31)  NOT NULL,
  DOC_ID    BIGINT       NOT NULL,
  PART      INTEGER      NOT NULL,
  FREQ      INTEGER      NOT NULL,  /* how many positions POSITIONS lists */
  POSITIONS VARCHAR(250) CHARACTER SET ASCII NOT NULL,  /* e.g. '0 17 240' */
  CONSTRAINT PK_FT_POSTING PRIMARY KEY (WORD, DOC_ID, PART)
);
CREATE INDEX FT_POSTING_DOC ON FT_POSTING (DOC_ID);

/* Changes of the collection's size: DOCS documents more (or fewer) and WORDS
   words more; their sums are the document count and the total length. Each
   FT_INDEX or FT_REMOVE that changes them adds a row, so that writers never
   update a shared row; FT_FOLD_STATS sums the rows into one. */
CREATE SEQUENCE FT_STATS_CHANGE;
CREATE TABLE FT_STATS (
  CHANGE_ID BIGINT NOT NULL,
  DOCS      BIGINT NOT NULL,
  WORDS     BIGINT NOT NULL
);

/* Changes of each word's document count: +1 for a document that gained the
   word, -1 for one that lost it. FT_FOLD_TERM_DOCS moves them into
   FT_TERM_TOTAL, so that this table holds only the changes since the last
   fold and a fold reads no more than those. */
CREATE TABLE FT_TERM_DOCS (
  WORD VARCHAR(31) NOT NULL,
  DOCS INTEGER     NOT NULL
);
CREATE INDEX FT_TERM_DOCS_WORD ON FT_TERM_DOCS (WORD);

/* Each word's document count as of the last fold; no row for a word no
   document held then. Only folds write here. */
CREATE TABLE FT_TERM_TOTAL (
  WORD VARCHAR(31) NOT NULL,
  DOCS INTEGER     NOT NULL,
  CONSTRAINT PK_FT_TERM_TOTAL PRIMARY KEY (WORD)
);

COMMIT;

SET TERM ^ ;

/* Moves the changes in FT_TERM_DOCS that this transaction sees into
   FT_TERM_TOTAL. Each change is read and deleted one at a time, so that a
   change committed meanwhile stays for the next fold; words are taken in
   order, so that a second fold at the same moment fails on the first row
   the first one deleted rather than waiting in a circle. */
CREATE OR ALTER PROCEDURE FT_FOLD_TERM_DOCS
AS
  DECLARE W VARCHAR(31);
  DECLARE ROW_KEY CHAR(8) CHARACTER SET OCTETS;
  DECLARE D INTEGER;
  DECLARE CHANGE INTEGER;
BEGIN
  FOR SELECT DISTINCT WORD FROM FT_TERM_DOCS INTO :W DO
  BEGIN
    CHANGE = 0;
    FOR SELECT RDB$DB_KEY, DOCS FROM FT_TERM_DOCS WHERE WORD = :W
      PLAN (FT_TERM_DOCS INDEX (FT_TERM_DOCS_WORD)) INTO :ROW_KEY, :D DO
    BEGIN
      DELETE FROM FT_TERM_DOCS WHERE RDB$DB_KEY = :ROW_KEY;
      CHANGE = CHANGE + D;
    END
    IF (CHANGE <> 0) THEN
    BEGIN
      UPDATE FT_TERM_TOTAL SET DOCS = DOCS + :CHANGE WHERE WORD = :W;
      IF (ROW_COUNT = 0) THEN
        INSERT INTO FT_TERM_TOTAL (WORD, DOCS) VALUES (:W, :CHANGE);
      ELSE
        DELETE FROM FT_TERM_TOTAL WHERE WORD = :W AND DOCS = 0;
    END
  END
END^

/* Sums the rows of FT_STATS that this transaction sees into one. Rows are
   taken in the order of CHANGE_ID, so that two folds at once do not wait for
   each other in a circle: the later one meets a row the first has deleted
   and fails with a conflict. */
CREATE OR ALTER PROCEDURE FT_FOLD_STATS
AS
  DECLARE ROW_KEY CHAR(8) CHARACTER SET OCTETS;
  DECLARE D BIGINT;
  DECLARE W BIGINT;
  DECLARE ALL_DOCS BIGINT = 0;
  DECLARE ALL_WORDS BIGINT = 0;
  DECLARE FOLDED INTEGER = 0;
BEGIN
  FOR SELECT RDB$DB_KEY, DOCS, WORDS FROM FT_STATS ORDER BY CHANGE_ID INTO :ROW_KEY, :D, :W DO
  BEGIN
    DELETE FROM FT_STATS WHERE RDB$DB_KEY = :ROW_KEY;
    ALL_DOCS = ALL_DOCS + D;
    ALL_WORDS = ALL_WORDS + W;
    FOLDED = FOLDED + 1;
  END
  IF (FOLDED > 0) THEN
    INSERT INTO FT_STATS (CHANGE_ID, DOCS, WORDS) VALUES (NEXT VALUE FOR FT_STATS_CHANGE, :ALL_DOCS, :ALL_WORDS);
END^

/* Records a change of the collection's size. Every 256th change also folds
   FT_STATS, and another every 256th FT_TERM_DOCS, in a transaction of its own
   that sees only what others committed; when another transaction is folding
   at the same moment it gives up, and a later change folds. */
CREATE OR ALTER PROCEDURE FT_COUNT_CHANGE (DOCS BIGINT, WORDS BIGINT)
AS
  DECLARE CHANGE_ID BIGINT;
BEGIN
  IF (DOCS = 0 AND WORDS = 0) THEN EXIT;
  CHANGE_ID = NEXT VALUE FOR FT_STATS_CHANGE;
  INSERT INTO FT_STATS (CHANGE_ID, DOCS, WORDS) VALUES (:CHANGE_ID, :DOCS, :WORDS);
  IF (MOD(CHANGE_ID, 256) = 0) THEN
    IN AUTONOMOUS TRANSACTION DO
    BEGIN
      EXECUTE PROCEDURE FT_FOLD_STATS;
      WHEN ANY DO
      BEGIN
        /* another fold got there first; its rows are undone here */
      END
    END
  IF (MOD(CHANGE_ID, 256) = 128) THEN
    IN AUTONOMOUS TRANSACTION DO
    BEGIN
      EXECUTE PROCEDURE FT_FOLD_TERM_DOCS;
      WHEN ANY DO
      BEGIN
        /* as above */
      END
    END
END^

/* Deletes a document's postings, counting one document fewer for each of
   its words. */
CREATE OR ALTER PROCEDURE FT_DROP_POSTINGS (DOC_ID BIGINT)
AS
BEGIN
  INSERT INTO FT_TERM_DOCS (WORD, DOCS)
    SELECT WORD, -1 FROM FT_POSTING WHERE DOC_ID = :DOC_ID AND PART = 0 PLAN (FT_POSTING INDEX (FT_POSTING_DOC));
  DELETE FROM FT_POSTING WHERE DOC_ID = :DOC_ID
    PLAN (FT_POSTING INDEX (FT_POSTING_DOC));
END^

/* Indexes a document, or indexes it again; CHANGED is 0 when its words are
   the same as when it was last indexed (by their CRC) and nothing was done.
   A NULL text is an empty one: the document is kept, without words. */
CREATE OR ALTER PROCEDURE FT_INDEX (DOC_ID BIGINT, TXT BLOB SUB_TYPE TEXT)
RETURNS (CHANGED SMALLINT)
AS
  DECLARE NEW_CRC INTEGER;
  DECLARE OLD_CRC INTEGER;
  DECLARE OLD_COUNT INTEGER;
  DECLARE NEW_COUNT INTEGER = 0;
  DECLARE KNOWN SMALLINT = 0;
  DECLARE W VARCHAR(31);
  DECLARE PART INTEGER;
  DECLARE FREQ INTEGER;
  DECLARE POSITIONS VARCHAR(250) CHARACTER SET ASCII;
BEGIN
  CHANGED = 0;
  NEW_CRC = FT_CRC(TXT);
  SELECT 1, CRC, WORD_COUNT FROM FT_DOCUMENT WHERE DOC_ID = :DOC_ID INTO :KNOWN, :OLD_CRC, :OLD_COUNT;
  IF (KNOWN = 1 AND OLD_CRC = NEW_CRC) THEN EXIT;

  /* The document's row first: a second transaction indexing the same
     document waits here, before it has written anything else. */
  UPDATE OR INSERT INTO FT_DOCUMENT (DOC_ID, CRC, WORD_COUNT) VALUES (:DOC_ID, :NEW_CRC, 0) MATCHING (DOC_ID);
  IF (KNOWN = 1) THEN EXECUTE PROCEDURE FT_DROP_POSTINGS (:DOC_ID);
  FOR SELECT WORD, PART, FREQ, POSITIONS FROM FT_TERMS(:TXT) INTO :W, :PART, :FREQ, :POSITIONS DO
  BEGIN
    NEW_COUNT = NEW_COUNT + FREQ;
    INSERT INTO FT_POSTING (WORD, DOC_ID, PART, FREQ, POSITIONS) VALUES (:W, :DOC_ID, :PART, :FREQ, :POSITIONS);
    IF (PART = 0) THEN
    BEGIN
      INSERT INTO FT_TERM_DOCS (WORD, DOCS) VALUES (:W, 1);
      IF (NOT EXISTS (SELECT 1 FROM FT_WORD WHERE WORD = :W PLAN (FT_WORD INDEX (FT_WORD_WORD)))) THEN
        INSERT INTO FT_WORD (WORD, SOUND_CODE) VALUES (:W, FT_SOUND_CODE(:W));
    END
  END
  UPDATE FT_DOCUMENT SET WORD_COUNT = :NEW_COUNT WHERE DOC_ID = :DOC_ID;
  EXECUTE PROCEDURE FT_COUNT_CHANGE (1 - KNOWN, NEW_COUNT - COALESCE(OLD_COUNT, 0));
  CHANGED = 1;
END^

/* Drops a document from the index. Its words stay in the dictionary. */
CREATE OR ALTER PROCEDURE FT_REMOVE (DOC_ID BIGINT)
AS
  DECLARE OLD_COUNT INTEGER;
BEGIN
  DELETE FROM FT_DOCUMENT WHERE DOC_ID = :DOC_ID RETURNING WORD_COUNT INTO :OLD_COUNT;
  IF (ROW_COUNT = 0) THEN EXIT;
  EXECUTE PROCEDURE FT_DROP_POSTINGS (:DOC_ID);
  EXECUTE PROCEDURE FT_COUNT_CHANGE (-1, -OLD_COUNT);
END^

/* Leaves one row of each word in FT_WORD (two transactions that brought the
   same new word at once each inserted it). */
CREATE OR ALTER PROCEDURE FT_FOLD_WORDS
AS
BEGIN
  DELETE FROM FT_WORD W
    WHERE EXISTS (SELECT 1 FROM FT_WORD O WHERE O.WORD = W.WORD AND O.RDB$DB_KEY < W.RDB$DB_KEY);
END^

/* Drops dictionary words that no document holds any more. Run it while
   nothing indexes: a transaction that finds a word in FT_WORD does not add
   it again. */
CREATE OR ALTER PROCEDURE FT_PURGE_WORDS
AS
BEGIN
  DELETE FROM FT_WORD W
    WHERE NOT EXISTS (SELECT 1 FROM FT_POSTING P WHERE P.WORD = W.WORD PLAN (P INDEX (PK_FT_POSTING)));
END^

/* Housekeeping, at any time (after a bulk load, say): folds the collection's
   statistics, the words' document counts and the dictionary's repeated
   words. */
CREATE OR ALTER PROCEDURE FT_MAINTAIN
AS
BEGIN
  EXECUTE PROCEDURE FT_FOLD_STATS;
  EXECUTE PROCEDURE FT_FOLD_TERM_DOCS;
  EXECUTE PROCEDURE FT_FOLD_WORDS;
END^

SET TERM ; ^

COMMIT;
