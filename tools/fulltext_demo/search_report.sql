/* How fulltext_demo.sh shows a search: one line with the search's own times,
   then the documents found, best first, with their id, title, score and a
   snippet of the text with the words searched marked (FT_SNIPPET). Needs
   fulltext_index.sql, fulltext_query.sql and example_documents.sql. */

CREATE EXCEPTION DEMO_UNKNOWN_SEARCH 'unknown kind of search: words, phrase, prefix or sound';

/* The documents one search found, in its order. */
CREATE GLOBAL TEMPORARY TABLE DEMO_HIT (
  RANK_NO      INTEGER NOT NULL PRIMARY KEY,
  DOC_ID       BIGINT  NOT NULL,
  SCORE        DOUBLE PRECISION NOT NULL,
  MATCHED_WORD VARCHAR(31)
) ON COMMIT DELETE ROWS;

COMMIT;

SET TERM ^ ;

/* Runs one search (KIND words: FT_SEARCH, phrase: FT_SEARCH_PHRASE, prefix:
   FT_SEARCH_PREFIX, sound: FT_SEARCH_SOUND) for at most MAX_ROWS documents
   and keeps them in DEMO_HIT, in its order; FOUND is how many. */
CREATE PROCEDURE DEMO_RUN_SEARCH (KIND VARCHAR(10), QUERY VARCHAR(400), MAX_ROWS INTEGER)
RETURNS (FOUND INTEGER)
AS
  DECLARE D BIGINT;
  DECLARE S DOUBLE PRECISION;
  DECLARE M VARCHAR(31);
BEGIN
  DELETE FROM DEMO_HIT;
  FOUND = 0;
  IF (KIND = 'words') THEN
    FOR SELECT DOC_ID, SCORE FROM FT_SEARCH(:QUERY, :MAX_ROWS) INTO :D, :S DO
    BEGIN
      FOUND = FOUND + 1;
      INSERT INTO DEMO_HIT (RANK_NO, DOC_ID, SCORE) VALUES (:FOUND, :D, :S);
    END
  ELSE IF (KIND = 'phrase') THEN
    FOR SELECT DOC_ID, SCORE FROM FT_SEARCH_PHRASE(:QUERY, :MAX_ROWS) INTO :D, :S DO
    BEGIN
      FOUND = FOUND + 1;
      INSERT INTO DEMO_HIT (RANK_NO, DOC_ID, SCORE) VALUES (:FOUND, :D, :S);
    END
  ELSE IF (KIND = 'prefix') THEN
    FOR SELECT DOC_ID, SCORE FROM FT_SEARCH_PREFIX(:QUERY, :MAX_ROWS) INTO :D, :S DO
    BEGIN
      FOUND = FOUND + 1;
      INSERT INTO DEMO_HIT (RANK_NO, DOC_ID, SCORE) VALUES (:FOUND, :D, :S);
    END
  ELSE IF (KIND = 'sound') THEN
    FOR SELECT DOC_ID, SCORE, MATCHED_WORD FROM FT_SEARCH_SOUND(:QUERY, :MAX_ROWS) INTO :D, :S, :M DO
    BEGIN
      FOUND = FOUND + 1;
      INSERT INTO DEMO_HIT (RANK_NO, DOC_ID, SCORE, MATCHED_WORD) VALUES (:FOUND, :D, :S, :M);
    END
  ELSE
    EXCEPTION DEMO_UNKNOWN_SEARCH;
  SUSPEND;
END^

/* The lines that show one search: the procedure called and two times in
   milliseconds, that of its first run (which compiles the search procedures
   in this connection and may read pages from disk) and that of running it
   again; then a line per document found, with about 16 words of it around
   what the search matched, marked <b>so</b>. */
CREATE PROCEDURE DEMO_SEARCH (KIND VARCHAR(10), QUERY VARCHAR(400), MAX_ROWS INTEGER = 5)
RETURNS (LINE VARCHAR(1200))
AS
  DECLARE STARTED TIMESTAMP;
  DECLARE FIRST_MS INTEGER;
  DECLARE AGAIN_MS INTEGER;
  DECLARE N INTEGER;
  DECLARE D BIGINT;
  DECLARE S DOUBLE PRECISION;
  DECLARE M VARCHAR(31);
  DECLARE TITLE VARCHAR(200);
  DECLARE BODY BLOB SUB_TYPE TEXT;
  DECLARE SNIPPET VARCHAR(8000);
  DECLARE MATCHING VARCHAR(420);
BEGIN
  STARTED = CAST('NOW' AS TIMESTAMP);
  SELECT FOUND FROM DEMO_RUN_SEARCH(:KIND, :QUERY, :MAX_ROWS) INTO :N;
  FIRST_MS = DATEDIFF(MILLISECOND FROM STARTED TO CAST('NOW' AS TIMESTAMP));
  STARTED = CAST('NOW' AS TIMESTAMP);
  SELECT FOUND FROM DEMO_RUN_SEARCH(:KIND, :QUERY, :MAX_ROWS) INTO :N;
  AGAIN_MS = DATEDIFF(MILLISECOND FROM STARTED TO CAST('NOW' AS TIMESTAMP));

  LINE = DECODE(KIND, 'words', 'FT_SEARCH', 'phrase', 'FT_SEARCH_PHRASE', 'prefix', 'FT_SEARCH_PREFIX', 'FT_SEARCH_SOUND')
    || '(''' || QUERY || ''')  ' || N || ' ' || TRIM(IIF(N = 1, 'document', 'documents'))
    || ' in ' || FIRST_MS || ' ms, ' || AGAIN_MS || ' ms again';
  SUSPEND;
  FOR SELECT H.RANK_NO, H.DOC_ID, H.SCORE, H.MATCHED_WORD, D.TITLE, D.BODY
      FROM DEMO_HIT H JOIN DOCUMENTS D ON D.ID = H.DOC_ID
      ORDER BY H.RANK_NO
      INTO :N, :D, :S, :M, :TITLE, :BODY DO
  BEGIN
    /* The snippet's query: what the search matched, as a search-box query. */
    MATCHING = DECODE(KIND, 'phrase', '"' || REPLACE(QUERY, '"', ' ') || '"', 'prefix', QUERY || '*',
      'sound', M, QUERY);
    SNIPPET = LEFT(FT_SNIPPET(BODY, MATCHING, '<b>', '</b>', 16), 1000);
    LINE = LPAD(N, 4) || '. ' || LPAD(D, 6) || '  ' || RPAD(COALESCE(TITLE, ''), 18)
      || LPAD(CAST(CAST(S AS NUMERIC(12, 2)) AS VARCHAR(20)), 8)
      || '  ' || IIF(M IS NULL, '', '[' || M || '] ') || COALESCE(SNIPPET, '');
    SUSPEND;
  END
END^

SET TERM ; ^

COMMIT;
