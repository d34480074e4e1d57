/* The searches of the full-text index of fulltext_index.sql but FT_SEARCH,
   which fulltext_query.sql gives (run it after this script):
     FT_SEARCH_PHRASE(PHRASE, MAX_ROWS) the words one after the other
     FT_SEARCH_PREFIX(PREFIX, MAX_ROWS) a word starting with PREFIX
     FT_SEARCH_SOUND(WORD, MAX_ROWS)    a word that sounds like WORD
   and what they and FT_SEARCH rank with: FT_IDF and FT_BM25, the one
   definition of BM25 (k1 = 1.2, b = 0.75), and FT_SCORE_TERMS, the BM25
   ranking of the documents holding every word of a set, for searches of
   your own. Each search returns the best documents first, ties by DOC_ID. */

/* Numbers the word sets of the searches (FT_TERM_SET, FT_PHRASE_WORD), so
   that searches within one statement keep their words apart. */
CREATE SEQUENCE FT_TERM_SET_ID;

/* Sets of index words, private to the transaction: SET_ID names a set. */
CREATE GLOBAL TEMPORARY TABLE FT_TERM_SET (
  SET_ID BIGINT      NOT NULL,
  WORD   VARCHAR(31) NOT NULL,
  DF     INTEGER,           /* documents holding the word */
  IDF    DOUBLE PRECISION,
  CONSTRAINT PK_FT_TERM_SET PRIMARY KEY (SET_ID, WORD)
) ON COMMIT DELETE ROWS;

/* The words of a phrase at their positions in it. */
CREATE GLOBAL TEMPORARY TABLE FT_PHRASE_WORD (
  SET_ID BIGINT      NOT NULL,
  POS    INTEGER     NOT NULL,
  WORD   VARCHAR(31) NOT NULL,
  CONSTRAINT PK_FT_PHRASE_WORD PRIMARY KEY (SET_ID, POS)
) ON COMMIT DELETE ROWS;

COMMIT;

SET TERM ^ ;

/* BM25's inverse document frequency of a term that DF of DOCS documents
   hold. */
CREATE OR ALTER FUNCTION FT_IDF (DOCS BIGINT, DF BIGINT)
RETURNS DOUBLE PRECISION
AS
BEGIN
  RETURN LN(1 + (CAST(DOCS - DF AS DOUBLE PRECISION) + 0.5) / (DF + 0.5));
END^

/* BM25's weight (k1 = 1.2, b = 0.75) of a term of inverse document
   frequency IDF that a document of LEN words holds TF times, in a
   collection whose documents are AVG_LENGTH words long on average. A
   document's score is the sum of its terms' weights. */
CREATE OR ALTER FUNCTION FT_BM25 (IDF DOUBLE PRECISION, TF BIGINT, LEN BIGINT, AVG_LENGTH DOUBLE PRECISION)
RETURNS DOUBLE PRECISION
AS
BEGIN
  RETURN IDF * TF * 2.2 / (TF + 1.2 * (0.25 + 0.75 * LEN / AVG_LENGTH));
END^

/* How many documents hold WORD: its total as of the last fold and the
   changes since (counting its postings would read a row per document). */
CREATE OR ALTER FUNCTION FT_DOCUMENT_FREQUENCY (WORD VARCHAR(31))
RETURNS INTEGER
AS
BEGIN
  RETURN COALESCE((SELECT T.DOCS FROM FT_TERM_TOTAL T WHERE T.WORD = :WORD PLAN (T INDEX (PK_FT_TERM_TOTAL))), 0)
       + (SELECT COALESCE(SUM(C.DOCS), 0) FROM FT_TERM_DOCS C WHERE C.WORD = :WORD PLAN (C INDEX (FT_TERM_DOCS_WORD)));
END^

/* How often WORD occurs in document DOC_ID, or NULL when it does not. */
CREATE OR ALTER FUNCTION FT_TERM_FREQUENCY (WORD VARCHAR(31), DOC_ID BIGINT)
RETURNS INTEGER
AS
BEGIN
  RETURN (SELECT SUM(P.FREQ) FROM FT_POSTING P WHERE P.WORD = :WORD AND P.DOC_ID = :DOC_ID PLAN (P INDEX (PK_FT_POSTING)));
END^

/* The documents that hold every word of set SET_ID of FT_TERM_SET (index
   words, as FT_TERMS gives them), each with its BM25 score (k1 = 1.2,
   b = 0.75), in no particular order. The rarest word's documents are the
   candidates; the other words are looked up in each, rarest first. With
   MAX_ROWS it may leave out documents that rank below the MAX_ROWS-th best
   (by SCORE, highest first, then DOC_ID). */
CREATE OR ALTER PROCEDURE FT_SCORE_TERMS (SET_ID BIGINT, MAX_ROWS INTEGER = NULL)
RETURNS (DOC_ID BIGINT, SCORE DOUBLE PRECISION)
AS
  DECLARE DOCS BIGINT;
  DECLARE TOTAL_WORDS BIGINT;
  DECLARE AVG_LENGTH DOUBLE PRECISION;
  DECLARE TERM VARCHAR(31);
  DECLARE DF INTEGER;
  DECLARE RAREST VARCHAR(31);
  DECLARE NEXT_RAREST VARCHAR(31);
  DECLARE RAREST_IDF DOUBLE PRECISION;
  DECLARE IDF DOUBLE PRECISION;
  DECLARE TF INTEGER;
  DECLARE LEN INTEGER;
BEGIN
  SELECT SUM(DOCS), SUM(WORDS) FROM FT_STATS INTO :DOCS, :TOTAL_WORDS;
  IF (COALESCE(DOCS, 0) <= 0 OR COALESCE(TOTAL_WORDS, 0) <= 0) THEN EXIT;
  AVG_LENGTH = CAST(TOTAL_WORDS AS DOUBLE PRECISION) / DOCS;

  FOR SELECT WORD FROM FT_TERM_SET WHERE SET_ID = :SET_ID INTO :TERM DO
  BEGIN
    DF = FT_DOCUMENT_FREQUENCY(TERM);
    IF (DF = 0) THEN EXIT;
    UPDATE FT_TERM_SET SET DF = :DF, IDF = FT_IDF(:DOCS, :DF) WHERE SET_ID = :SET_ID AND WORD = :TERM;
  END
  SELECT FIRST 1 WORD, IDF FROM FT_TERM_SET WHERE SET_ID = :SET_ID ORDER BY DF, WORD INTO :RAREST, :RAREST_IDF;
  IF (RAREST IS NULL) THEN EXIT;

  /* One word: the documents of its postings, scored and ranked in one
     statement. */
  IF (NOT EXISTS (SELECT 1 FROM FT_TERM_SET WHERE SET_ID = :SET_ID AND WORD <> :RAREST)) THEN
  BEGIN
    FOR SELECT FIRST (COALESCE(:MAX_ROWS, 2147483647)) P.DOC_ID,
          FT_BM25(:RAREST_IDF, SUM(P.FREQ), MAX(D.WORD_COUNT), :AVG_LENGTH)
        FROM FT_POSTING P JOIN FT_DOCUMENT D ON D.DOC_ID = P.DOC_ID
        WHERE P.WORD = :RAREST
        GROUP BY P.DOC_ID
        ORDER BY 2 DESC, 1
        INTO :DOC_ID, :SCORE DO
      SUSPEND;
    EXIT;
  END

  /* The rarest word's documents that hold the next rarest too, then their
     scores, word by word (a document lacking a later word drops out). */
  SELECT FIRST 1 WORD FROM FT_TERM_SET WHERE SET_ID = :SET_ID AND WORD <> :RAREST ORDER BY DF, WORD INTO :NEXT_RAREST;
  FOR SELECT P.DOC_ID, SUM(P.FREQ), MAX(D.WORD_COUNT)
      FROM FT_POSTING P JOIN FT_DOCUMENT D ON D.DOC_ID = P.DOC_ID
      WHERE P.WORD = :RAREST AND EXISTS (
        SELECT 1 FROM FT_POSTING X WHERE X.WORD = :NEXT_RAREST AND X.DOC_ID = P.DOC_ID)
      GROUP BY P.DOC_ID
      PLAN SORT (JOIN (P INDEX (PK_FT_POSTING), D INDEX (PK_FT_DOCUMENT)))
      INTO :DOC_ID, :TF, :LEN DO
  BEGIN
    SCORE = FT_BM25(RAREST_IDF, TF, LEN, AVG_LENGTH);
    FOR SELECT WORD, IDF FROM FT_TERM_SET WHERE SET_ID = :SET_ID AND WORD <> :RAREST ORDER BY DF, WORD
        INTO :TERM, :IDF DO
    BEGIN
      TF = FT_TERM_FREQUENCY(TERM, DOC_ID);
      IF (TF IS NULL) THEN
      BEGIN
        SCORE = NULL;
        LEAVE;
      END
      SCORE = SCORE + FT_BM25(IDF, TF, LEN, AVG_LENGTH);
    END
    IF (SCORE IS NOT NULL) THEN SUSPEND;
  END
END^

/* The documents that hold the words of phrase SET_ID of FT_PHRASE_WORD one
   after the other (each word at its POS relative to the others), with HITS
   the number of times; a document may come in several rows, whose HITS add
   up. The phrase is anchored at its rarest word: each of its postings gives
   the places where the phrase could start, and each other word's positions
   in that document keep those where it stands at its offset. */
CREATE OR ALTER PROCEDURE FT_PHRASE_DOCS (SET_ID BIGINT)
RETURNS (DOC_ID BIGINT, HITS INTEGER)
AS
  DECLARE TERM VARCHAR(31);
  DECLARE TERM_POS INTEGER;
  DECLARE DF INTEGER;
  DECLARE ANCHOR VARCHAR(31);
  DECLARE ANCHOR_POS INTEGER;
  DECLARE ANCHOR_DF INTEGER;
  DECLARE POSITIONS VARCHAR(250) CHARACTER SET ASCII;
  DECLARE OTHER VARCHAR(252) CHARACTER SET ASCII;
  DECLARE STARTS VARCHAR(400) CHARACTER SET ASCII;
  DECLARE KEPT VARCHAR(400) CHARACTER SET ASCII;
  DECLARE AT_CHAR INTEGER;
  DECLARE BLANK INTEGER;
  DECLARE START_AT INTEGER;
BEGIN
  FOR SELECT POS, WORD FROM FT_PHRASE_WORD WHERE SET_ID = :SET_ID ORDER BY POS INTO :TERM_POS, :TERM DO
  BEGIN
    DF = FT_DOCUMENT_FREQUENCY(TERM);
    IF (DF = 0) THEN EXIT;
    IF (ANCHOR_DF IS NULL OR DF < ANCHOR_DF) THEN
    BEGIN
      ANCHOR = TERM;
      ANCHOR_POS = TERM_POS;
      ANCHOR_DF = DF;
    END
  END
  IF (ANCHOR IS NULL) THEN EXIT;

  FOR SELECT F.DOC_ID, F.POSITIONS FROM FT_POSTING F WHERE F.WORD = :ANCHOR
      PLAN (F INDEX (PK_FT_POSTING))
      INTO :DOC_ID, :POSITIONS DO
  BEGIN
    /* Where the phrase would start, by this row of the anchor's positions:
       ' s1 s2 ... '. */
    STARTS = ' ';
    AT_CHAR = 1;
    WHILE (AT_CHAR > 0) DO
    BEGIN
      BLANK = POSITION(' ', POSITIONS, AT_CHAR);
      STARTS = STARTS || (CAST(SUBSTRING(POSITIONS FROM AT_CHAR FOR IIF(BLANK > 0, BLANK - AT_CHAR, 11)) AS INTEGER)
        - ANCHOR_POS) || ' ';
      AT_CHAR = IIF(BLANK > 0, BLANK + 1, 0);
    END
    FOR SELECT POS, WORD FROM FT_PHRASE_WORD WHERE SET_ID = :SET_ID AND POS <> :ANCHOR_POS INTO :TERM_POS, :TERM DO
    BEGIN
      KEPT = ' ';
      FOR SELECT ' ' || O.POSITIONS || ' ' FROM FT_POSTING O WHERE O.WORD = :TERM AND O.DOC_ID = :DOC_ID
          PLAN (O INDEX (PK_FT_POSTING)) INTO :OTHER DO
      BEGIN
        AT_CHAR = 2;
        WHILE (AT_CHAR < CHAR_LENGTH(STARTS)) DO
        BEGIN
          BLANK = POSITION(' ', STARTS, AT_CHAR);
          START_AT = CAST(SUBSTRING(STARTS FROM AT_CHAR FOR BLANK - AT_CHAR) AS INTEGER);
          IF (POSITION(' ' || (START_AT + TERM_POS) || ' ' IN OTHER) > 0) THEN KEPT = KEPT || START_AT || ' ';
          AT_CHAR = BLANK + 1;
        END
      END
      STARTS = KEPT;
      IF (STARTS = ' ') THEN LEAVE;
    END
    HITS = CHAR_LENGTH(STARTS) - CHAR_LENGTH(REPLACE(STARTS, ' ', '')) - 1;
    IF (HITS > 0) THEN SUSPEND;
  END
END^

/* The documents that hold the words of PHRASE one after the other (stop
   words and short words of the phrase are skipped, as the index skips them),
   with SCORE the number of times. */
CREATE OR ALTER PROCEDURE FT_SEARCH_PHRASE (PHRASE VARCHAR(4000), MAX_ROWS INTEGER = 20)
RETURNS (DOC_ID BIGINT, SCORE DOUBLE PRECISION)
AS
  DECLARE SET_ID BIGINT;
BEGIN
  SET_ID = NEXT VALUE FOR FT_TERM_SET_ID;
  INSERT INTO FT_PHRASE_WORD (SET_ID, POS, WORD) SELECT :SET_ID, POS, WORD FROM FT_WORDS(:PHRASE, 0);
  IF (ROW_COUNT = 0) THEN EXIT;
  FOR SELECT FIRST (:MAX_ROWS) DOC_ID, SUM(HITS) FROM FT_PHRASE_DOCS(:SET_ID)
      GROUP BY DOC_ID ORDER BY 2 DESC, 1
      INTO :DOC_ID, :SCORE DO
    SUSPEND;
  DELETE FROM FT_PHRASE_WORD WHERE SET_ID = :SET_ID;
END^

/* The documents holding a word that starts with PREFIX (upper-cased as the
   index stores it), with SCORE the number of such words. */
CREATE OR ALTER PROCEDURE FT_SEARCH_PREFIX (PREFIX VARCHAR(4000), MAX_ROWS INTEGER = 20)
RETURNS (DOC_ID BIGINT, SCORE DOUBLE PRECISION)
AS
  DECLARE STEM VARCHAR(31);
BEGIN
  SELECT FIRST 1 WORD FROM FT_WORDS(:PREFIX, 2) INTO :STEM;
  IF (STEM IS NULL) THEN EXIT;
  FOR SELECT FIRST (:MAX_ROWS) P.DOC_ID, SUM(P.FREQ) FROM FT_POSTING P
      WHERE P.WORD STARTING WITH :STEM
      GROUP BY P.DOC_ID PLAN SORT (P INDEX (PK_FT_POSTING)) ORDER BY 2 DESC, 1
      INTO :DOC_ID, :SCORE DO
    SUSPEND;
END^

/* The documents holding a word that sounds like WORD (the same StrSoundEX
   code), with SCORE the number of such words, and one of them. */
CREATE OR ALTER PROCEDURE FT_SEARCH_SOUND (WORD VARCHAR(100), MAX_ROWS INTEGER = 20)
RETURNS (DOC_ID BIGINT, SCORE DOUBLE PRECISION, MATCHED_WORD VARCHAR(31))
AS
  DECLARE CODE INTEGER;
BEGIN
  CODE = FT_SOUND_CODE(WORD);
  FOR SELECT FIRST (:MAX_ROWS) P.DOC_ID, SUM(P.FREQ), MIN(P.WORD)
      FROM (SELECT DISTINCT W.WORD FROM FT_WORD W WHERE W.SOUND_CODE = :CODE) S
      JOIN FT_POSTING P ON P.WORD = S.WORD
      GROUP BY P.DOC_ID ORDER BY 2 DESC, 1
      INTO :DOC_ID, :SCORE, :MATCHED_WORD DO
    SUSPEND;
END^

SET TERM ; ^

COMMIT;
