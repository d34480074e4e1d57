/* A full-text index served by Vexa's UDR module (libvexa_udr.so, vexa_udr.dll
   on Windows), for Firebird 3.0 and later: the same public procedures as the
   portable index of fulltext_index.sql, fulltext_search.sql and
   fulltext_query.sql, with the index kept as segments of packed postings.
   Run with isql after splitting_udr.sql (which declares the module's FT_WORDS,
   FT_TERMS, FT_CRC and FT_SOUND_CODE):
     isql -i splitting_udr.sql -i fulltext_udr.sql

   Index from your own triggers with FT_INDEX(DOC_ID, TXT) and FT_REMOVE(DOC_ID),
   search with FT_SEARCH(QUERY, MAX_ROWS) (the search-box query language),
   FT_SEARCH_PHRASE, FT_SEARCH_PREFIX and FT_SEARCH_SOUND, show how a query is
   read with FT_QUERY_PLAN and the best fragment of a text with FT_SNIPPET.
   FT_DOCUMENTS lists the documents the index holds. FT_MAINTAIN merges the
   whole index into one segment (after a bulk load, say); nothing else needs
   to be run by hand.

   Every procedure takes the name of an index last (INDEX_NAME, the one named
   DEFAULT when left out); fulltext_indexes.sql makes named indexes over a
   table's columns, kept current by triggers of their own.

   The tables (one database may hold several indexes):
     FT_INDEXES           the indexes by name;
     FT_CHANGE            a row per FT_INDEX or FT_REMOVE that changed a
                          document: the transaction that made it, a version
                          (the highest is the document as it stands), the
                          document's postings, length and the CRC of its
                          words (a document whose words did not change is not
                          indexed again), or that it was removed; moved into
                          segments now and then;
     FT_STRUCTURE         a row per index, written only by maintenance: the
                          segments that make up the index, which change rows
                          they hold, the collection's totals;
     FT_SEGMENT_PAGE      the segments' pages, written once: each segment
                          keeps its documents' lengths and CRCs, and a list
                          of those no longer live. */

/* ANALYZER is what makes the index's words, as FT_ANALYZER records it
   (win1251/1, unicode/1 stem=german, ...); NULL, as in indexes made before
   analyzers had names, is win1251. */
CREATE TABLE FT_INDEXES (
  INDEX_ID   SMALLINT    NOT NULL,
  INDEX_NAME VARCHAR(63) CHARACTER SET UTF8 NOT NULL,
  ANALYZER   VARCHAR(255) CHARACTER SET UTF8,
  CONSTRAINT PK_FT_INDEXES PRIMARY KEY (INDEX_ID),
  CONSTRAINT UQ_FT_INDEXES_NAME UNIQUE (INDEX_NAME)
);

/* POSTINGS holds a document's postings when they fit, LONG_POSTINGS when not. */
CREATE TABLE FT_CHANGE (
  INDEX_ID            SMALLINT NOT NULL,
  WRITER              BIGINT   NOT NULL,  /* the transaction */
  DOC_ID              BIGINT   NOT NULL,
  VERSION             BIGINT   NOT NULL,
  REMOVED             SMALLINT NOT NULL,  /* 1 for FT_REMOVE */
  CRC                 INTEGER  NOT NULL,
  WORD_COUNT          INTEGER  NOT NULL,
  REPLACED            SMALLINT NOT NULL,  /* 1: the document was there before */
  REPLACED_WORD_COUNT INTEGER  NOT NULL,
  POSTINGS            VARCHAR(4000) CHARACTER SET OCTETS,
  LONG_POSTINGS       BLOB SUB_TYPE BINARY
);
/* Unique (a version is given once), so that replication finds each row by
   its key. */
CREATE UNIQUE INDEX FT_CHANGE_WRITER ON FT_CHANGE (INDEX_ID, WRITER, VERSION);
CREATE INDEX FT_CHANGE_DOCUMENT ON FT_CHANGE (INDEX_ID, DOC_ID);

CREATE TABLE FT_STRUCTURE (
  INDEX_ID       SMALLINT NOT NULL,
  STRUCTURE      VARCHAR(8000) CHARACTER SET OCTETS,
  LONG_STRUCTURE BLOB SUB_TYPE BINARY,
  CONSTRAINT PK_FT_STRUCTURE PRIMARY KEY (INDEX_ID)
);

CREATE TABLE FT_SEGMENT_PAGE (
  SEGMENT_ID BIGINT  NOT NULL,
  PAGE_NO    INTEGER NOT NULL,
  PAGE_DATA  VARCHAR(4000) CHARACTER SET OCTETS NOT NULL,
  CONSTRAINT PK_FT_SEGMENT_PAGE PRIMARY KEY (SEGMENT_ID, PAGE_NO)
);

CREATE SEQUENCE FT_VERSIONS;
CREATE SEQUENCE FT_SEGMENTS;

/* What an index made with ANALYZER records: NULL for the default (unicode
   in a UTF8 database, win1251 in any other). An analyzer this module does
   not have, or options it does not take, are refused with what is wrong. */
CREATE OR ALTER FUNCTION FT_ANALYZER (ANALYZER VARCHAR(255) CHARACTER SET UTF8)
  RETURNS VARCHAR(255) CHARACTER SET UTF8
  EXTERNAL NAME 'vexa_udr!ft_analyzer' ENGINE UDR;

COMMIT;

INSERT INTO FT_INDEXES (INDEX_ID, INDEX_NAME, ANALYZER) VALUES (1, 'DEFAULT', FT_ANALYZER(NULL));
INSERT INTO FT_STRUCTURE (INDEX_ID) VALUES (1);

COMMIT;

/* Indexes a document, or indexes it again; CHANGED is 0 when its words are
   those it was last indexed with (by their CRC) and nothing was done. A NULL
   text is an empty one: the document is kept, without words. */
CREATE OR ALTER PROCEDURE FT_INDEX (DOC_ID BIGINT, TXT BLOB SUB_TYPE TEXT, INDEX_NAME VARCHAR(63) CHARACTER SET UTF8 = 'DEFAULT')
  RETURNS (CHANGED SMALLINT)
  EXTERNAL NAME 'vexa_udr!ft_index' ENGINE UDR;

/* Drops a document from the index. */
CREATE OR ALTER PROCEDURE FT_REMOVE (DOC_ID BIGINT, INDEX_NAME VARCHAR(63) CHARACTER SET UTF8 = 'DEFAULT')
  EXTERNAL NAME 'vexa_udr!ft_remove' ENGINE UDR;

/* The documents QUERY finds, best first, at most MAX_ROWS (20 when NULL):
   plain words must all match (ranked by BM25, k1 = 1.2, b = 0.75), "quoted
   phrases" match their words one after the other, OR (in capitals) gives
   alternatives, -word and -"a phrase" leave documents out, sle* matches the
   stored words that start with SLE. Any text is a query. */
CREATE OR ALTER PROCEDURE FT_SEARCH (QUERY BLOB SUB_TYPE TEXT, MAX_ROWS INTEGER = 20,
  INDEX_NAME VARCHAR(63) CHARACTER SET UTF8 = 'DEFAULT')
  RETURNS (DOC_ID BIGINT, SCORE DOUBLE PRECISION)
  EXTERNAL NAME 'vexa_udr!ft_search' ENGINE UDR;

/* The documents holding the words of PHRASE one after the other, SCORE the
   number of times. */
CREATE OR ALTER PROCEDURE FT_SEARCH_PHRASE (PHRASE BLOB SUB_TYPE TEXT, MAX_ROWS INTEGER = 20,
  INDEX_NAME VARCHAR(63) CHARACTER SET UTF8 = 'DEFAULT')
  RETURNS (DOC_ID BIGINT, SCORE DOUBLE PRECISION)
  EXTERNAL NAME 'vexa_udr!ft_search_phrase' ENGINE UDR;

/* The documents holding a stored word that starts with PREFIX (upper-cased,
   as typed), SCORE the number of such words. */
CREATE OR ALTER PROCEDURE FT_SEARCH_PREFIX (PREFIX BLOB SUB_TYPE TEXT, MAX_ROWS INTEGER = 20,
  INDEX_NAME VARCHAR(63) CHARACTER SET UTF8 = 'DEFAULT')
  RETURNS (DOC_ID BIGINT, SCORE DOUBLE PRECISION)
  EXTERNAL NAME 'vexa_udr!ft_search_prefix' ENGINE UDR;

/* The documents holding a word that sounds like WORD (the same FT_SOUND_CODE),
   SCORE the number of such words, and the first of them. */
CREATE OR ALTER PROCEDURE FT_SEARCH_SOUND (WORD BLOB SUB_TYPE TEXT, MAX_ROWS INTEGER = 20,
  INDEX_NAME VARCHAR(63) CHARACTER SET UTF8 = 'DEFAULT')
  RETURNS (DOC_ID BIGINT, SCORE DOUBLE PRECISION, MATCHED_WORD VARCHAR(31))
  EXTERNAL NAME 'vexa_udr!ft_search_sound' ENGINE UDR;

/* Every document the index holds: its id, the CRC of its words and its
   length in words, in no particular order. */
CREATE OR ALTER PROCEDURE FT_DOCUMENTS (INDEX_NAME VARCHAR(63) CHARACTER SET UTF8 = 'DEFAULT')
  RETURNS (DOC_ID BIGINT, CRC INTEGER, WORD_COUNT INTEGER)
  EXTERNAL NAME 'vexa_udr!ft_documents' ENGINE UDR;

/* How QUERY is read: OR-groups of items, a row per word of an item, and the
   column an item is found in (NULL: any). */
CREATE OR ALTER PROCEDURE FT_QUERY_PLAN (QUERY BLOB SUB_TYPE TEXT, INDEX_NAME VARCHAR(63) CHARACTER SET UTF8 = 'DEFAULT')
  RETURNS (GROUP_NO INTEGER, ITEM_NO INTEGER, KIND VARCHAR(6) CHARACTER SET ASCII, NEGATED SMALLINT,
           TERM_NO INTEGER, WORD_OFFSET INTEGER, WORD VARCHAR(31), COLUMN_NAME VARCHAR(63) CHARACTER SET UTF8)
  EXTERNAL NAME 'vexa_udr!ft_query_plan' ENGINE UDR;

/* The best fragment of TXT for QUERY, the words the index matched marked.
   TXT is the text of COLUMN_NAME of the index INDEX_NAME (NULL: any column):
   only what QUERY looks for in that column is marked. With ESCAPE_HTML 1 the
   text's <, >, & and " are written as HTML entities. */
CREATE OR ALTER FUNCTION FT_SNIPPET (TXT BLOB SUB_TYPE TEXT, QUERY BLOB SUB_TYPE TEXT,
  START_MARK VARCHAR(40) = '<b>', END_MARK VARCHAR(40) = '</b>', MAX_WORDS INTEGER = 30, ELLIPSIS VARCHAR(10) = '...',
  INDEX_NAME VARCHAR(63) CHARACTER SET UTF8 = 'DEFAULT', COLUMN_NAME VARCHAR(63) CHARACTER SET UTF8 = NULL,
  ESCAPE_HTML SMALLINT = 0)
  RETURNS VARCHAR(8000)
  EXTERNAL NAME 'vexa_udr!ft_snippet' ENGINE UDR;

/* The whole of TXT with every match of QUERY marked, as FT_SNIPPET marks them. */
CREATE OR ALTER FUNCTION FT_HIGHLIGHT (TXT BLOB SUB_TYPE TEXT, QUERY BLOB SUB_TYPE TEXT,
  START_MARK VARCHAR(40) = '<b>', END_MARK VARCHAR(40) = '</b>',
  INDEX_NAME VARCHAR(63) CHARACTER SET UTF8 = 'DEFAULT', COLUMN_NAME VARCHAR(63) CHARACTER SET UTF8 = NULL,
  ESCAPE_HTML SMALLINT = 0)
  RETURNS BLOB SUB_TYPE TEXT CHARACTER SET UTF8
  EXTERNAL NAME 'vexa_udr!ft_highlight' ENGINE UDR;

/* What the index holds: live documents, their words and distinct words, its
   segments (and how many at each merge level), change rows not yet in a
   segment, the bytes of its segments' pages, and the transaction of its last
   merge. */
CREATE OR ALTER PROCEDURE FT_INDEX_INFO (INDEX_NAME VARCHAR(63) CHARACTER SET UTF8 = 'DEFAULT')
  RETURNS (DOCUMENTS BIGINT, WORDS BIGINT, DISTINCT_WORDS BIGINT, SEGMENTS INTEGER,
           SEGMENTS_PER_LEVEL VARCHAR(200), PENDING_ROWS INTEGER, INDEX_BYTES BIGINT, LAST_MERGE_TRANSACTION BIGINT)
  EXTERNAL NAME 'vexa_udr!ft_index_info' ENGINE UDR;

/* The index's segments, a row each. */
CREATE OR ALTER PROCEDURE FT_INDEX_SEGMENTS (INDEX_NAME VARCHAR(63) CHARACTER SET UTF8 = 'DEFAULT')
  RETURNS (SEGMENT_ID BIGINT, SEGMENT_LEVEL INTEGER, DOCUMENTS BIGINT, DELETED_DOCUMENTS BIGINT, PAGES INTEGER,
           BYTES BIGINT, DELETION_LIST_ID BIGINT)
  EXTERNAL NAME 'vexa_udr!ft_index_segments' ENGINE UDR;

/* The index verified against itself (every page, segment, word list and
   total) and, for an index over a table (fulltext_indexes.sql), against the
   table's rows: a row per problem found, none for a sound index. */
CREATE OR ALTER PROCEDURE FT_CHECK (INDEX_NAME VARCHAR(63) CHARACTER SET UTF8 = 'DEFAULT')
  RETURNS (DOC_ID BIGINT, PROBLEM VARCHAR(1000))
  EXTERNAL NAME 'vexa_udr!ft_check' ENGINE UDR;

/* Merges the index into one segment and cleans up what earlier merges
   replaced, as far as no transaction can still read it. */
CREATE OR ALTER PROCEDURE FT_MAINTAIN (INDEX_NAME VARCHAR(63) CHARACTER SET UTF8 = 'DEFAULT')
  EXTERNAL NAME 'vexa_udr!ft_maintain' ENGINE UDR;

COMMIT;
