/* Upgrades a full-text index of the earlier design, which kept a row per
   word occurrence (FT_OCCURRENCE) and a dictionary with a unique key, to the
   postings of fulltext_index.sql, in place: no document is split again.
   Stop indexing, then run, in this order:
     isql -i splitting_udf.sql -i fulltext_index.sql -i fulltext_search.sql \
          -i upgrade_from_occurrences.sql DATABASE
   (splitting_udr.sql instead of splitting_udf.sql for the UDR module). The
   earlier scripts replace the procedures, so that your triggers go on
   calling FT_INDEX and FT_REMOVE; this one moves the words of
   FT_OCCURRENCE into FT_POSTING, counts the collection and each word's
   documents into FT_STATS and FT_TERM_DOCS, lets
   FT_WORD take a word twice, and drops what only the earlier design used. */

SET TERM ^ ;

/* Each document's occurrences become its postings: a row per word, its
   positions ascending, beyond 250 bytes in rows of PART 1, 2... A document
   that already has postings, or whose occurrences do not add up to its
   length (indexed again since fulltext_index.sql was run), is left as it is. */
EXECUTE BLOCK
AS
  DECLARE D BIGINT;
  DECLARE LEN INTEGER;
  DECLARE W VARCHAR(31);
  DECLARE P INTEGER;
  DECLARE NUMBER VARCHAR(11) CHARACTER SET ASCII;
  DECLARE WORD VARCHAR(31);
  DECLARE PART INTEGER;
  DECLARE FREQ INTEGER;
  DECLARE POSITIONS VARCHAR(250) CHARACTER SET ASCII;
BEGIN
  FOR SELECT DOC_ID, WORD_COUNT FROM FT_DOCUMENT INTO :D, :LEN DO
  BEGIN
    IF (NOT EXISTS (SELECT 1 FROM FT_POSTING WHERE DOC_ID = :D)
        AND LEN = (SELECT COUNT(*) FROM FT_OCCURRENCE WHERE DOC_ID = :D)) THEN
    BEGIN
      WORD = NULL;
      FOR SELECT WORD, POS FROM FT_OCCURRENCE WHERE DOC_ID = :D ORDER BY WORD, POS INTO :W, :P DO
      BEGIN
        NUMBER = P;
        IF (W IS DISTINCT FROM WORD) THEN
        BEGIN
          IF (WORD IS NOT NULL) THEN
            INSERT INTO FT_POSTING (WORD, DOC_ID, PART, FREQ, POSITIONS) VALUES (:WORD, :D, :PART, :FREQ, :POSITIONS);
          WORD = W;
          PART = 0;
          FREQ = 1;
          POSITIONS = NUMBER;
        END
        ELSE IF (CHAR_LENGTH(POSITIONS) + 1 + CHAR_LENGTH(NUMBER) > 250) THEN
        BEGIN
          INSERT INTO FT_POSTING (WORD, DOC_ID, PART, FREQ, POSITIONS) VALUES (:WORD, :D, :PART, :FREQ, :POSITIONS);
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
      IF (WORD IS NOT NULL) THEN
        INSERT INTO FT_POSTING (WORD, DOC_ID, PART, FREQ, POSITIONS) VALUES (:WORD, :D, :PART, :FREQ, :POSITIONS);
    END
  END

  /* Each word's document count, and the collection, as the index holds them now. */
  DELETE FROM FT_TERM_DOCS;
  DELETE FROM FT_TERM_TOTAL;
  INSERT INTO FT_TERM_TOTAL (WORD, DOCS) SELECT WORD, COUNT(*) FROM FT_POSTING WHERE PART = 0 GROUP BY WORD;
  DELETE FROM FT_STATS;
  INSERT INTO FT_STATS (CHANGE_ID, DOCS, WORDS)
    SELECT NEXT VALUE FOR FT_STATS_CHANGE, COUNT(*), COALESCE(SUM(WORD_COUNT), 0) FROM FT_DOCUMENT;
END^

SET TERM ; ^

COMMIT;

/* New words now go into FT_WORD without a unique key (FT_WORD_WORD, made by
   fulltext_index.sql, finds them). */
ALTER TABLE FT_WORD DROP CONSTRAINT PK_FT_WORD;

/* What only the earlier design used. */
DROP PROCEDURE FT_ADD_WORD;
DROP TABLE FT_OCCURRENCE;
DROP TABLE FT_PARSED;
DROP TABLE FT_QUERY_TERM;
DROP TABLE FT_HIT;

COMMIT;
