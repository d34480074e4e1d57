/* Search-box queries and snippets over the full-text index. Needs the
   splitting procedures (FT_WORDS), the index of fulltext_index.sql and the
   searches of fulltext_search.sql; run after them with isql:
     isql -i fulltext_query.sql

   A query is read the way a web search box reads it:
     lazy dog             documents holding every word, ranked by BM25
     "lazy dog"           the words one after the other
     lazy OR sleepy dog   either side of OR (OR in capitals; OR splits the
                          whole query: lazy, or else sleepy and dog)
     dog -cat -"fat cat"  leaves out documents holding CAT or the phrase
     sle*                 a word starting with SLE
   Any text is a query: what cannot be read as an operator is read as words,
   and a query that leaves no word finds nothing.

     SELECT DOC_ID, SCORE FROM FT_SEARCH('"lazy dog" -cat', 10);
     SELECT * FROM FT_QUERY_PLAN('"lazy dog" -cat');        -- how it was read
     SELECT FT_SNIPPET(BODY, 'lazy dog') FROM ARTICLES WHERE ID = 1;

   Words are made of the query exactly as of documents, by FT_WORDS: plain
   words and phrases by the document parser (so that stop words and short
   words, which no document stores, drop out, and a phrase's words keep the
   distances the index stores: stop words leave no gap), prefixes as typed,
   by the query parser without the word filters (FT_WORDS(TXT, 2): it keeps
   a short prefix or one that is a stop word, and does not stem it), so that
   a prefix matches the stored words that begin with it.

   FT_SEARCH_PLAN is the only procedure here that reads the index's tables. */

/* A query as read: OR-groups (GROUP_NO 1, 2, ...) of AND-ed items (ITEM_NO
   1, 2, ... in each group), one row per word of an item. KIND is 'word',
   'phrase' (two words or more, WORD_OFFSET 0, 1, ... their places) or
   'prefix'; NEGATED 1 for an item a document must not hold. Items of the
   same kind and words share TERM_NO, wherever they stand. */
CREATE GLOBAL TEMPORARY TABLE FT_PLAN (
  GROUP_NO    INTEGER     NOT NULL,
  ITEM_NO     INTEGER     NOT NULL,
  KIND        VARCHAR(6)  CHARACTER SET ASCII NOT NULL,
  NEGATED     SMALLINT    NOT NULL,
  TERM_NO     INTEGER     NOT NULL,
  WORD_OFFSET INTEGER     NOT NULL,
  WORD        VARCHAR(31) NOT NULL,
  CONSTRAINT PK_FT_PLAN PRIMARY KEY (GROUP_NO, ITEM_NO, WORD_OFFSET)
) ON COMMIT DELETE ROWS;

CREATE INDEX FT_PLAN_TERM_NO ON FT_PLAN (TERM_NO, GROUP_NO);

/* The words of each piece of the query, while it is read. */
CREATE GLOBAL TEMPORARY TABLE FT_PLAN_PIECE (
  PIECE_NO    INTEGER     NOT NULL,
  WORD_OFFSET INTEGER     NOT NULL,
  WORD        VARCHAR(31) NOT NULL,
  CONSTRAINT PK_FT_PLAN_PIECE PRIMARY KEY (PIECE_NO, WORD_OFFSET)
) ON COMMIT DELETE ROWS;

/* The distinct terms of the query being read: its kind and words as one
   text (NULL when too long to compare: such a term is never shared). */
CREATE GLOBAL TEMPORARY TABLE FT_PLAN_TERM (
  TERM_NO  INTEGER NOT NULL PRIMARY KEY,
  KEY_HASH BIGINT,
  TERM_KEY VARCHAR(8000)
) ON COMMIT DELETE ROWS;
CREATE INDEX FT_PLAN_TERM_HASH ON FT_PLAN_TERM (KEY_HASH);

/* Each term's documents, with how often the term occurs in each. */
CREATE GLOBAL TEMPORARY TABLE FT_TERM_HIT (
  TERM_NO INTEGER NOT NULL,
  DOC_ID  BIGINT  NOT NULL,
  TF      INTEGER NOT NULL,
  CONSTRAINT PK_FT_TERM_HIT PRIMARY KEY (TERM_NO, DOC_ID)
) ON COMMIT DELETE ROWS;

/* The documents a plan found, with their scores. */
CREATE GLOBAL TEMPORARY TABLE FT_PLAN_MATCH (
  DOC_ID BIGINT           NOT NULL PRIMARY KEY,
  SCORE  DOUBLE PRECISION NOT NULL
) ON COMMIT DELETE ROWS;

/* A snippet's text, one blank-separated chunk a row, with the query word
   it matches (NULL for none). */
CREATE GLOBAL TEMPORARY TABLE FT_SNIPPET_CHUNK (
  CHUNK_NO INTEGER       NOT NULL PRIMARY KEY,
  CHUNK    VARCHAR(4000) NOT NULL,
  MATCHED  VARCHAR(31)
) ON COMMIT DELETE ROWS;

COMMIT;

SET TERM ^ ;

/* Adds an item to group GRP of FT_PLAN, unless the group holds it already:
   the word WORD (KIND 'word' or 'prefix'), or the phrase of the words of
   piece PIECE in FT_PLAN_PIECE (KIND 'phrase'; one word makes a 'word').
   ITEMS and TERMS count the group's items and the plan's terms so far. */
CREATE PROCEDURE FT_PLAN_ADD_ITEM (GRP INTEGER, ITEMS INTEGER, TERMS INTEGER, KIND VARCHAR(6) CHARACTER SET ASCII,
  EXCLUDED SMALLINT, PIECE INTEGER, WORD VARCHAR(31))
RETURNS (ITEM_COUNT INTEGER, TERM_COUNT INTEGER)
AS
  DECLARE TERM INTEGER;
  DECLARE WORDS INTEGER = 1;
  DECLARE W VARCHAR(31);
  DECLARE TERM_KEY VARCHAR(8000);
BEGIN
  ITEM_COUNT = ITEMS;
  TERM_COUNT = TERMS;
  IF (KIND = 'phrase') THEN
  BEGIN
    SELECT COUNT(*), MIN(WORD) FROM FT_PLAN_PIECE WHERE PIECE_NO = :PIECE INTO :WORDS, :WORD;
    IF (WORDS = 0) THEN EXIT;
    IF (WORDS = 1) THEN KIND = 'word';
  END
  TERM_KEY = KIND || ' ' || WORD;
  IF (KIND = 'phrase') THEN
  BEGIN
    TERM_KEY = KIND;
    FOR SELECT WORD FROM FT_PLAN_PIECE WHERE PIECE_NO = :PIECE ORDER BY WORD_OFFSET INTO :W DO
      IF (TERM_KEY IS NOT NULL) THEN
        TERM_KEY = IIF(CHAR_LENGTH(TERM_KEY) + CHAR_LENGTH(W) < 7999, TERM_KEY || ' ' || W, NULL);
  END

  TERM = NULL;
  IF (TERM_KEY IS NOT NULL) THEN
    SELECT MIN(TERM_NO) FROM FT_PLAN_TERM WHERE KEY_HASH = HASH(:TERM_KEY) AND TERM_KEY = :TERM_KEY INTO :TERM;
  IF (TERM IS NULL) THEN
  BEGIN
    TERM_COUNT = TERM_COUNT + 1;
    TERM = TERM_COUNT;
    INSERT INTO FT_PLAN_TERM (TERM_NO, KEY_HASH, TERM_KEY) VALUES (:TERM, HASH(:TERM_KEY), :TERM_KEY);
  END
  ELSE IF (EXISTS (SELECT 1 FROM FT_PLAN WHERE TERM_NO = :TERM AND GROUP_NO = :GRP AND NEGATED = :EXCLUDED)) THEN
    EXIT;

  ITEM_COUNT = ITEM_COUNT + 1;
  IF (KIND = 'phrase') THEN
    INSERT INTO FT_PLAN (GROUP_NO, ITEM_NO, KIND, NEGATED, TERM_NO, WORD_OFFSET, WORD)
      SELECT :GRP, :ITEM_COUNT, 'phrase', :EXCLUDED, :TERM, WORD_OFFSET, WORD FROM FT_PLAN_PIECE
        WHERE PIECE_NO = :PIECE;
  ELSE
    INSERT INTO FT_PLAN (GROUP_NO, ITEM_NO, KIND, NEGATED, TERM_NO, WORD_OFFSET, WORD)
      VALUES (:GRP, :ITEM_COUNT, :KIND, :EXCLUDED, :TERM, 0, :WORD);
END^

/* Adds the items of piece PIECE of the query, whose text is TXT, to group
   GRP: TXT as a quoted phrase (IS_PHRASE 1), as prefixes (IS_PREFIX 1: each
   word it holds is a prefix), or else as plain words (each word an item, as
   a search of all words has them; excluded, a piece of several words is a
   phrase: -quick-brown leaves out the documents that hold "quick brown"). */
CREATE PROCEDURE FT_PLAN_ADD_PIECE (GRP INTEGER, ITEMS INTEGER, TERMS INTEGER, PIECE INTEGER, TXT VARCHAR(4000),
  EXCLUDED SMALLINT, IS_PHRASE SMALLINT, IS_PREFIX SMALLINT)
RETURNS (ITEM_COUNT INTEGER, TERM_COUNT INTEGER)
AS
  DECLARE W VARCHAR(31);
  DECLARE WORDS INTEGER;
BEGIN
  ITEM_COUNT = ITEMS;
  TERM_COUNT = TERMS;
  INSERT INTO FT_PLAN_PIECE (PIECE_NO, WORD_OFFSET, WORD) SELECT :PIECE, POS, WORD FROM FT_WORDS(:TXT, 2 * :IS_PREFIX);
  SELECT COUNT(*) FROM FT_PLAN_PIECE WHERE PIECE_NO = :PIECE INTO :WORDS;
  IF (WORDS = 0) THEN EXIT;
  IF (IS_PHRASE = 1 OR (EXCLUDED = 1 AND IS_PREFIX = 0 AND WORDS > 1)) THEN
    EXECUTE PROCEDURE FT_PLAN_ADD_ITEM (:GRP, :ITEM_COUNT, :TERM_COUNT, 'phrase', :EXCLUDED, :PIECE, NULL)
      RETURNING_VALUES :ITEM_COUNT, :TERM_COUNT;
  ELSE
    FOR SELECT WORD FROM FT_PLAN_PIECE WHERE PIECE_NO = :PIECE ORDER BY WORD_OFFSET INTO :W DO
      EXECUTE PROCEDURE FT_PLAN_ADD_ITEM (:GRP, :ITEM_COUNT, :TERM_COUNT, TRIM(IIF(:IS_PREFIX = 1, 'prefix', 'word')),
        :EXCLUDED, :PIECE, :W)
        RETURNING_VALUES :ITEM_COUNT, :TERM_COUNT;
END^

/* Reads QUERY into FT_PLAN (emptied first). Blanks and control bytes
   separate pieces; a piece is a quoted phrase (to the next quote, or to the
   end when none follows), OR, or a run of other bytes, read as words, or as
   prefixes when it ends in *. A piece or phrase written right after - is
   excluded; a lone - is ignored. Groups that are left with no item to find
   (empty, or holding only exclusions) are dropped, and the groups
   numbered again. */
CREATE PROCEDURE FT_PARSE_QUERY (QUERY VARCHAR(4000))
AS
  DECLARE QUOTE CHAR(1) = '"';
  DECLARE LEN INTEGER;
  DECLARE I INTEGER = 1;
  DECLARE J INTEGER;
  DECLARE C VARCHAR(1);
  DECLARE NEGATED SMALLINT;
  DECLARE IS_PREFIX SMALLINT;
  DECLARE PIECE VARCHAR(4000);
  DECLARE GRP INTEGER = 1;
  DECLARE ITEMS INTEGER = 0;
  DECLARE TERMS INTEGER = 0;
  DECLARE PIECES INTEGER = 0;
  DECLARE OLD_GROUP INTEGER;
  DECLARE NEW_GROUP INTEGER = 0;
BEGIN
  DELETE FROM FT_PLAN;
  DELETE FROM FT_PLAN_PIECE;
  DELETE FROM FT_PLAN_TERM;
  /* Control bytes are blanks, in quotes too: a NUL would end the text the
     parser sees. */
  I = 0;
  WHILE (I < 32) DO
  BEGIN
    QUERY = REPLACE(QUERY, ASCII_CHAR(I), ' ');
    I = I + 1;
  END
  I = 1;
  LEN = COALESCE(CHAR_LENGTH(QUERY), 0);
  WHILE (I <= LEN) DO
  BEGIN
    C = SUBSTRING(QUERY FROM I FOR 1);
    IF (C = ' ') THEN
      I = I + 1;
    ELSE
    BEGIN
      NEGATED = 0;
      WHILE (C = '-' AND I < LEN) DO
      BEGIN
        NEGATED = 1;
        I = I + 1;
        C = SUBSTRING(QUERY FROM I FOR 1);
      END
      IF (C = QUOTE) THEN
      BEGIN
        J = POSITION(QUOTE, QUERY, I + 1);
        IF (J = 0) THEN J = LEN + 1;
        PIECE = SUBSTRING(QUERY FROM I + 1 FOR J - I - 1);
        PIECES = PIECES + 1;
        EXECUTE PROCEDURE FT_PLAN_ADD_PIECE (:GRP, :ITEMS, :TERMS, :PIECES, :PIECE, :NEGATED, 1, 0)
          RETURNING_VALUES :ITEMS, :TERMS;
        I = J + 1;
      END
      ELSE IF (C = ' ' OR C = '-') THEN
        I = I + 1;  /* a lone - */
      ELSE
      BEGIN
        /* The piece runs to a blank or a quote. */
        J = I;
        WHILE (J <= LEN AND SUBSTRING(QUERY FROM J FOR 1) NOT IN (' ', QUOTE)) DO
          J = J + 1;
        PIECE = SUBSTRING(QUERY FROM I FOR J - I);
        I = J;
        IF (PIECE = 'OR' AND NEGATED = 0) THEN
        BEGIN
          GRP = GRP + 1;
          ITEMS = 0;
        END
        ELSE
        BEGIN
          IS_PREFIX = 0;
          WHILE (CHAR_LENGTH(PIECE) > 0 AND SUBSTRING(PIECE FROM CHAR_LENGTH(PIECE) FOR 1) = '*') DO
          BEGIN
            IS_PREFIX = 1;
            PIECE = SUBSTRING(PIECE FROM 1 FOR CHAR_LENGTH(PIECE) - 1);
          END
          PIECES = PIECES + 1;
          EXECUTE PROCEDURE FT_PLAN_ADD_PIECE (:GRP, :ITEMS, :TERMS, :PIECES, :PIECE, :NEGATED, 0, :IS_PREFIX)
            RETURNING_VALUES :ITEMS, :TERMS;
        END
      END
    END
  END

  DELETE FROM FT_PLAN P
    WHERE NOT EXISTS (SELECT 1 FROM FT_PLAN Q WHERE Q.GROUP_NO = P.GROUP_NO AND Q.NEGATED = 0);
  FOR SELECT DISTINCT GROUP_NO FROM FT_PLAN ORDER BY GROUP_NO INTO :OLD_GROUP DO
  BEGIN
    NEW_GROUP = NEW_GROUP + 1;
    IF (NEW_GROUP <> OLD_GROUP) THEN UPDATE FT_PLAN SET GROUP_NO = :NEW_GROUP WHERE GROUP_NO = :OLD_GROUP;
  END
END^

/* How QUERY is read: the rows of FT_PLAN, in order. */
CREATE PROCEDURE FT_QUERY_PLAN (QUERY VARCHAR(4000))
RETURNS (GROUP_NO INTEGER, ITEM_NO INTEGER, KIND VARCHAR(6) CHARACTER SET ASCII, NEGATED SMALLINT,
  TERM_NO INTEGER, WORD_OFFSET INTEGER, WORD VARCHAR(31))
AS
BEGIN
  EXECUTE PROCEDURE FT_PARSE_QUERY (:QUERY);
  FOR SELECT GROUP_NO, ITEM_NO, KIND, NEGATED, TERM_NO, WORD_OFFSET, WORD FROM FT_PLAN
      ORDER BY GROUP_NO, ITEM_NO, WORD_OFFSET
      INTO :GROUP_NO, :ITEM_NO, :KIND, :NEGATED, :TERM_NO, :WORD_OFFSET, :WORD DO
    SUSPEND;
END^

/* Runs the plan in FT_PLAN over the index: the documents that satisfy one
   group entirely (each of its items found, none of its excluded items),
   best first, at most MAX_ROWS. SCORE is BM25 (k1 = 1.2, b = 0.75) summed
   over the distinct terms the document holds of the items to be found; a
   phrase or a prefix counts as one term, occurring as often as the phrase,
   or words with the prefix, occur. */
CREATE PROCEDURE FT_SEARCH_PLAN (MAX_ROWS INTEGER = 20)
RETURNS (DOC_ID BIGINT, SCORE DOUBLE PRECISION)
AS
  DECLARE DOCS BIGINT;
  DECLARE TOTAL_WORDS BIGINT;
  DECLARE AVG_LENGTH DOUBLE PRECISION;
  DECLARE TERM INTEGER;
  DECLARE KIND VARCHAR(6) CHARACTER SET ASCII;
  DECLARE G INTEGER;
  DECLARE I INTEGER;
  DECLARE W VARCHAR(31);
  DECLARE SET_ID BIGINT;
  DECLARE DF INTEGER;
  DECLARE IDF DOUBLE PRECISION;
  DECLARE DRIVER INTEGER;
BEGIN
  SELECT SUM(DOCS), SUM(WORDS) FROM FT_STATS INTO :DOCS, :TOTAL_WORDS;
  IF (COALESCE(DOCS, 0) <= 0 OR COALESCE(TOTAL_WORDS, 0) <= 0) THEN EXIT;
  AVG_LENGTH = CAST(TOTAL_WORDS AS DOUBLE PRECISION) / DOCS;

  /* Plain words (one group, every item a word to be found): the documents
     holding them all, driven by the rarest word's postings. */
  IF (NOT EXISTS (SELECT 1 FROM FT_PLAN WHERE GROUP_NO <> 1 OR KIND <> 'word' OR NEGATED <> 0)) THEN
  BEGIN
    SET_ID = NEXT VALUE FOR FT_TERM_SET_ID;
    INSERT INTO FT_TERM_SET (SET_ID, WORD) SELECT DISTINCT :SET_ID, WORD FROM FT_PLAN;
    FOR SELECT FIRST (:MAX_ROWS) DOC_ID, SCORE FROM FT_SCORE_TERMS(:SET_ID, :MAX_ROWS) ORDER BY SCORE DESC, DOC_ID
        INTO :DOC_ID, :SCORE DO
      SUSPEND;
    DELETE FROM FT_TERM_SET WHERE SET_ID = :SET_ID;
    EXIT;
  END

  DELETE FROM FT_TERM_HIT;
  DELETE FROM FT_PLAN_MATCH;

  /* The documents of each phrase and prefix, found from its first item.
     Words are not gathered: their documents are read from their postings,
     and a candidate is looked up in the postings of the others, so that no
     search reads every posting of a common word it only has to test. */
  FOR SELECT P.TERM_NO, P.KIND, P.GROUP_NO, P.ITEM_NO, P.WORD FROM FT_PLAN P
      WHERE P.WORD_OFFSET = 0 AND P.KIND <> 'word' AND NOT EXISTS (
        SELECT 1 FROM FT_PLAN Q WHERE Q.TERM_NO = P.TERM_NO AND Q.WORD_OFFSET = 0
          AND (Q.GROUP_NO < P.GROUP_NO OR (Q.GROUP_NO = P.GROUP_NO AND Q.ITEM_NO < P.ITEM_NO)))
      INTO :TERM, :KIND, :G, :I, :W DO
  BEGIN
    IF (KIND = 'prefix') THEN
      INSERT INTO FT_TERM_HIT (TERM_NO, DOC_ID, TF)
        SELECT :TERM, P.DOC_ID, SUM(P.FREQ) FROM FT_POSTING P WHERE P.WORD STARTING WITH :W
        GROUP BY P.DOC_ID PLAN SORT (P INDEX (PK_FT_POSTING));
    ELSE
    BEGIN
      SET_ID = NEXT VALUE FOR FT_TERM_SET_ID;
      INSERT INTO FT_PHRASE_WORD (SET_ID, POS, WORD)
        SELECT :SET_ID, WORD_OFFSET, WORD FROM FT_PLAN WHERE GROUP_NO = :G AND ITEM_NO = :I;
      INSERT INTO FT_TERM_HIT (TERM_NO, DOC_ID, TF)
        SELECT :TERM, DOC_ID, SUM(HITS) FROM FT_PHRASE_DOCS(:SET_ID) GROUP BY DOC_ID;
      DELETE FROM FT_PHRASE_WORD WHERE SET_ID = :SET_ID;
    END
  END

  /* The documents of each group: those of its rarest item that hold every
     other item of the group and none of its excluded ones. */
  FOR SELECT DISTINCT GROUP_NO FROM FT_PLAN INTO :G DO
  BEGIN
    TERM = NULL;
    SELECT FIRST 1 P.TERM_NO, P.KIND, P.ITEM_NO, P.WORD FROM FT_PLAN P
      WHERE P.GROUP_NO = :G AND P.NEGATED = 0 AND P.WORD_OFFSET = 0
      ORDER BY IIF(P.KIND = 'word', FT_DOCUMENT_FREQUENCY(P.WORD),
                   (SELECT COUNT(*) FROM FT_TERM_HIT H WHERE H.TERM_NO = P.TERM_NO)), P.ITEM_NO
      INTO :TERM, :KIND, :I, :W;
    DRIVER = TERM;
    /* The rarest item's documents: a word's from its postings (a NULL
       word finds none), the others' gathered above (a NULL term neither). */
    IF (KIND <> 'word') THEN W = NULL;
    ELSE DRIVER = NULL;
    IF (TERM IS NOT NULL) THEN
      INSERT INTO FT_PLAN_MATCH (DOC_ID, SCORE)
        SELECT C.DOC_ID, 0 FROM (
            SELECT P.DOC_ID FROM FT_POSTING P WHERE P.WORD = :W AND P.PART = 0
            UNION ALL
            SELECT H.DOC_ID FROM FT_TERM_HIT H WHERE H.TERM_NO = :DRIVER) C
        WHERE NOT EXISTS (SELECT 1 FROM FT_PLAN_MATCH M WHERE M.DOC_ID = C.DOC_ID)
          AND NOT EXISTS (
            SELECT 1 FROM FT_PLAN P
            WHERE P.GROUP_NO = :G AND P.WORD_OFFSET = 0 AND P.ITEM_NO <> :I
              AND IIF(P.KIND = 'word',
                      IIF(EXISTS (SELECT 1 FROM FT_POSTING X WHERE X.WORD = P.WORD AND X.DOC_ID = C.DOC_ID), 1, 0),
                      IIF(EXISTS (SELECT 1 FROM FT_TERM_HIT X WHERE X.TERM_NO = P.TERM_NO AND X.DOC_ID = C.DOC_ID), 1, 0))
                  = P.NEGATED);
  END

  /* BM25, term by term in the order of their words. */
  FOR SELECT P.TERM_NO, MIN(P.KIND), MIN(P.WORD) FROM FT_PLAN P
      WHERE P.NEGATED = 0 AND P.WORD_OFFSET = 0
      GROUP BY P.TERM_NO ORDER BY MIN(P.WORD), P.TERM_NO
      INTO :TERM, :KIND, :W DO
  BEGIN
    IF (KIND = 'word') THEN
      DF = FT_DOCUMENT_FREQUENCY(W);
    ELSE
      SELECT COUNT(*) FROM FT_TERM_HIT WHERE TERM_NO = :TERM INTO :DF;
    IDF = FT_IDF(DOCS, DF);
    IF (DF > 0 AND KIND = 'word') THEN
      UPDATE FT_PLAN_MATCH M SET M.SCORE = M.SCORE + (
          SELECT FT_BM25(:IDF, SUM(X.FREQ), MAX(D.WORD_COUNT), :AVG_LENGTH)
          FROM FT_POSTING X JOIN FT_DOCUMENT D ON D.DOC_ID = X.DOC_ID
          WHERE X.WORD = :W AND X.DOC_ID = M.DOC_ID)
        WHERE EXISTS (SELECT 1 FROM FT_POSTING X WHERE X.WORD = :W AND X.DOC_ID = M.DOC_ID);
    ELSE IF (DF > 0) THEN
      UPDATE FT_PLAN_MATCH M SET M.SCORE = M.SCORE + (
          SELECT FT_BM25(:IDF, H.TF, D.WORD_COUNT, :AVG_LENGTH)
          FROM FT_TERM_HIT H JOIN FT_DOCUMENT D ON D.DOC_ID = H.DOC_ID
          WHERE H.TERM_NO = :TERM AND H.DOC_ID = M.DOC_ID)
        WHERE EXISTS (SELECT 1 FROM FT_TERM_HIT H WHERE H.TERM_NO = :TERM AND H.DOC_ID = M.DOC_ID);
  END

  FOR SELECT FIRST (:MAX_ROWS) DOC_ID, SCORE FROM FT_PLAN_MATCH ORDER BY SCORE DESC, DOC_ID
      INTO :DOC_ID, :SCORE DO
    SUSPEND;
END^

/* The documents QUERY finds (see the top of this file), best first, at
   most MAX_ROWS: plain words give the documents holding every one of them,
   ranked by BM25 (k1 = 1.2, b = 0.75). */
CREATE OR ALTER PROCEDURE FT_SEARCH (QUERY VARCHAR(4000), MAX_ROWS INTEGER = 20)
RETURNS (DOC_ID BIGINT, SCORE DOUBLE PRECISION)
AS
BEGIN
  IF (MAX_ROWS IS NULL OR MAX_ROWS < 0) THEN MAX_ROWS = 20;
  EXECUTE PROCEDURE FT_PARSE_QUERY (:QUERY);
  FOR SELECT DOC_ID, SCORE FROM FT_SEARCH_PLAN(:MAX_ROWS) INTO :DOC_ID, :SCORE DO
    SUSPEND;
END^

/* Marks the chunks FIRST_CHUNK .. FIRST_CHUNK + CHUNKS - 1 of
   FT_SNIPPET_CHUNK that match the query in FT_PLAN, as the index matches
   them: MATCHED becomes the first word the document parser makes of the
   chunk that is a word of an item to be found, or starts with a prefix to
   be found. BATCH holds the chunks, each followed by a blank, MARKER and a
   blank; MARKER_WORD is the one word the document parser makes of MARKER.
   The batch is split at once; only where its markers do not come out one
   per chunk (a chunk that gives MARKER_WORD too), or with no MARKER_WORD,
   are the chunks split one by one. */
CREATE PROCEDURE FT_SNIPPET_MARK (FIRST_CHUNK INTEGER, CHUNKS INTEGER, BATCH VARCHAR(8000),
  MARKER_WORD VARCHAR(31))
AS
  DECLARE K INTEGER;
  DECLARE W VARCHAR(31);
  DECLARE CHUNK VARCHAR(4000);
BEGIN
  K = FIRST_CHUNK;
  IF (MARKER_WORD IS NOT NULL) THEN
  BEGIN
    FOR SELECT WORD FROM FT_WORDS(:BATCH, 0) INTO :W DO
      IF (W = MARKER_WORD) THEN
        K = K + 1;
      ELSE IF (EXISTS (SELECT 1 FROM FT_PLAN WHERE NEGATED = 0
                       AND (WORD = :W OR (KIND = 'prefix' AND :W STARTING WITH WORD)))) THEN
        UPDATE FT_SNIPPET_CHUNK SET MATCHED = :W WHERE CHUNK_NO = :K AND MATCHED IS NULL;
    IF (K = FIRST_CHUNK + CHUNKS) THEN EXIT;
    UPDATE FT_SNIPPET_CHUNK SET MATCHED = NULL WHERE CHUNK_NO BETWEEN :FIRST_CHUNK AND :FIRST_CHUNK + :CHUNKS - 1;
  END
  FOR SELECT CHUNK_NO, CHUNK FROM FT_SNIPPET_CHUNK
      WHERE CHUNK_NO BETWEEN :FIRST_CHUNK AND :FIRST_CHUNK + :CHUNKS - 1 INTO :K, :CHUNK DO
    FOR SELECT WORD FROM FT_WORDS(:CHUNK, 0) INTO :W DO
      IF (EXISTS (SELECT 1 FROM FT_PLAN WHERE NEGATED = 0
                  AND (WORD = :W OR (KIND = 'prefix' AND :W STARTING WITH WORD)))) THEN
        UPDATE FT_SNIPPET_CHUNK SET MATCHED = :W WHERE CHUNK_NO = :K AND MATCHED IS NULL;
END^

/* The best fragment of TXT for QUERY: about MAX_WORDS blank-separated
   pieces of text, chosen to hold as many different query words as can be,
   then as many matches; each piece that matches (its words, as the
   document parser makes them, hold a query word to be found, or a word
   with a query prefix) is put between START_MARK and END_MARK, leaving out
   punctuation at its ends. ELLIPSIS stands where the text is cut. Line
   ends and runs of blanks become one blank. Text is cut only between
   characters, whatever the character set. Without a match the fragment is
   the start of the text. */
CREATE FUNCTION FT_SNIPPET (TXT BLOB SUB_TYPE TEXT, QUERY VARCHAR(4000), START_MARK VARCHAR(40) = '<b>',
  END_MARK VARCHAR(40) = '</b>', MAX_WORDS INTEGER = 30, ELLIPSIS VARCHAR(10) = '...')
RETURNS VARCHAR(8000)
AS
  DECLARE PIECE_SIZE INTEGER = 4000;
  DECLARE LONGEST_CHUNK INTEGER = 200;
  DECLARE PUNCTUATION VARCHAR(40) = '.,;:!?"''()[]{}<>`';
  DECLARE TOTAL INTEGER;
  DECLARE READ_TO INTEGER = 0;
  DECLARE BUF VARCHAR(4000);
  DECLARE L INTEGER;
  DECLARE I INTEGER;
  DECLARE J INTEGER;
  DECLARE CHUNKS INTEGER = 0;
  DECLARE CHUNK VARCHAR(4000);
  DECLARE MATCHED VARCHAR(31);
  DECLARE MARKER VARCHAR(20);
  DECLARE MARKER_WORD VARCHAR(31);
  DECLARE BATCH VARCHAR(8000) = '';
  DECLARE BATCH_CHUNKS INTEGER = 0;
  DECLARE START_AT INTEGER;
  DECLARE BEST_START INTEGER = 1;
  DECLARE BEST_SCORE INTEGER = 0;
  DECLARE SCORE INTEGER;
  DECLARE CORE_FROM INTEGER;
  DECLARE CORE_TO INTEGER;
  DECLARE RESULT VARCHAR(8000) = '';
  DECLARE PART VARCHAR(4100);
BEGIN
  IF (TXT IS NULL) THEN RETURN NULL;
  IF (MAX_WORDS IS NULL OR MAX_WORDS < 1) THEN MAX_WORDS = 30;
  START_MARK = COALESCE(START_MARK, '');
  END_MARK = COALESCE(END_MARK, '');
  ELLIPSIS = COALESCE(ELLIPSIS, '');
  EXECUTE PROCEDURE FT_PARSE_QUERY (:QUERY);
  DELETE FROM FT_SNIPPET_CHUNK;

  /* A word of letters or digits no text holds, which the document parser
     keeps as one word, to tell the chunks of a batch apart. */
  FOR SELECT M FROM (SELECT 'zqxjvkqzxjvkqw' AS M FROM RDB$DATABASE
                     UNION ALL SELECT '90817263544536' FROM RDB$DATABASE) INTO :CHUNK DO
    IF (MARKER_WORD IS NULL) THEN
    BEGIN
      SELECT COUNT(*), MIN(WORD) FROM FT_WORDS(:CHUNK, 0) INTO :I, :MARKER_WORD;
      IF (I = 1) THEN
        MARKER = CHUNK;
      ELSE
        MARKER_WORD = NULL;
    END
  MARKER = COALESCE(MARKER, CHUNK);

  /* The text's chunks, a piece of the text at a time; a chunk that runs on
     past a piece's end is read again with the next piece. */
  TOTAL = CHAR_LENGTH(TXT);
  WHILE (READ_TO < TOTAL) DO
  BEGIN
    BUF = SUBSTRING(TXT FROM READ_TO + 1 FOR PIECE_SIZE);
    BUF = REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(BUF, ASCII_CHAR(13), ' '), ASCII_CHAR(10), ' '),
      ASCII_CHAR(9), ' '), ASCII_CHAR(11), ' '), ASCII_CHAR(12), ' ');
    L = CHAR_LENGTH(BUF);
    I = 1;
    WHILE (I <= L) DO
    BEGIN
      IF (SUBSTRING(BUF FROM I FOR 1) = ' ') THEN
        I = I + 1;
      ELSE
      BEGIN
        J = POSITION(' ', BUF, I);
        IF (J = 0) THEN J = L + 1;
        IF (J > L AND READ_TO + L < TOTAL AND I > 1) THEN
          LEAVE;  /* read this chunk again, whole, with the next piece */
        CHUNK = SUBSTRING(BUF FROM I FOR J - I);
        IF (CHAR_LENGTH(BATCH) + CHAR_LENGTH(CHUNK) + CHAR_LENGTH(MARKER) + 2 > 8000) THEN
        BEGIN
          EXECUTE PROCEDURE FT_SNIPPET_MARK (:CHUNKS - :BATCH_CHUNKS + 1, :BATCH_CHUNKS, :BATCH, :MARKER_WORD);
          BATCH = '';
          BATCH_CHUNKS = 0;
        END
        CHUNKS = CHUNKS + 1;
        INSERT INTO FT_SNIPPET_CHUNK (CHUNK_NO, CHUNK) VALUES (:CHUNKS, :CHUNK);
        BATCH = BATCH || CHUNK || ' ' || MARKER || ' ';
        BATCH_CHUNKS = BATCH_CHUNKS + 1;
        I = J;
      END
    END
    READ_TO = READ_TO + I - 1;
  END
  IF (BATCH_CHUNKS > 0) THEN
    EXECUTE PROCEDURE FT_SNIPPET_MARK (:CHUNKS - :BATCH_CHUNKS + 1, :BATCH_CHUNKS, :BATCH, :MARKER_WORD);
  IF (CHUNKS = 0) THEN RETURN '';

  /* The window of MAX_WORDS chunks with the most different query words,
     then the most matches, a little of the text before its first match. */
  FOR SELECT DISTINCT MAXVALUE(1, MINVALUE(CHUNK_NO - :MAX_WORDS / 5, :CHUNKS - :MAX_WORDS + 1))
      FROM FT_SNIPPET_CHUNK WHERE MATCHED IS NOT NULL INTO :START_AT DO
  BEGIN
    SELECT COUNT(DISTINCT MATCHED) * 10000 + COUNT(MATCHED) FROM FT_SNIPPET_CHUNK
      WHERE CHUNK_NO BETWEEN :START_AT AND :START_AT + :MAX_WORDS - 1
      INTO :SCORE;
    IF (SCORE > BEST_SCORE OR (SCORE = BEST_SCORE AND START_AT < BEST_START)) THEN
    BEGIN
      BEST_SCORE = SCORE;
      BEST_START = START_AT;
    END
  END

  FOR SELECT CHUNK, MATCHED FROM FT_SNIPPET_CHUNK
      WHERE CHUNK_NO BETWEEN :BEST_START AND :BEST_START + :MAX_WORDS - 1
      ORDER BY CHUNK_NO INTO :CHUNK, :MATCHED DO
  BEGIN
    IF (CHAR_LENGTH(CHUNK) > LONGEST_CHUNK) THEN
      CHUNK = SUBSTRING(CHUNK FROM 1 FOR LONGEST_CHUNK) || ELLIPSIS;
    PART = CHUNK;
    IF (MATCHED IS NOT NULL) THEN
    BEGIN
      CORE_FROM = 1;
      CORE_TO = CHAR_LENGTH(CHUNK);
      WHILE (CORE_FROM < CORE_TO AND POSITION(SUBSTRING(CHUNK FROM CORE_FROM FOR 1) IN PUNCTUATION) > 0) DO
        CORE_FROM = CORE_FROM + 1;
      WHILE (CORE_TO > CORE_FROM AND POSITION(SUBSTRING(CHUNK FROM CORE_TO FOR 1) IN PUNCTUATION) > 0) DO
        CORE_TO = CORE_TO - 1;
      PART = SUBSTRING(CHUNK FROM 1 FOR CORE_FROM - 1) || START_MARK
        || SUBSTRING(CHUNK FROM CORE_FROM FOR CORE_TO - CORE_FROM + 1) || END_MARK
        || SUBSTRING(CHUNK FROM CORE_TO + 1);
    END
    IF (CHAR_LENGTH(RESULT) + CHAR_LENGTH(PART) + 1 + 2 * CHAR_LENGTH(ELLIPSIS) > 8000) THEN LEAVE;
    IF (RESULT = '') THEN
      RESULT = PART;
    ELSE
      RESULT = RESULT || ' ' || PART;
  END
  IF (BEST_START > 1) THEN RESULT = ELLIPSIS || RESULT;
  IF (BEST_START + MAX_WORDS - 1 < CHUNKS) THEN RESULT = RESULT || ELLIPSIS;
  RETURN RESULT;
END^

SET TERM ; ^

COMMIT;
