// A web application's use of a deployed Vexa: it connects over TCP in UTF-8
// to a WIN1251 database, stores documents from several connections at once
// (the triggers of example_documents.sql index them), and searches them,
// Cyrillic in and out; then makes a named index over their title and body
// and searches it by column, highlights a title and reads its information;
// then, in a UTF8 database (FIREBIRD_UNICODE_DATABASE), makes a Unicode
// index over articles in six languages and searches each. Exits non-zero on
// the first wrong answer.
//
//   FIREBIRD_HOST=127.0.0.1 FIREBIRD_PORT=... FIREBIRD_DATABASE=... \
//   ISC_USER=... ISC_PASSWORD=... node search_client.js EXPECTED_WORDS_FILE
//
// EXPECTED_WORDS_FILE holds, one a line, the words the installed module
// itself gives for SAMPLE_TEXT (vexa split on the installed module's directory).
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const Firebird = require('node-firebird');

const SAMPLE_TEXT = 'Съешь же ещё этих мягких французских булок, Иванов: TCP/IP и C++!';

const options = {
  host: process.env.FIREBIRD_HOST,
  port: Number(process.env.FIREBIRD_PORT),
  database: process.env.FIREBIRD_DATABASE,
  user: process.env.ISC_USER,
  password: process.env.ISC_PASSWORD,
  encoding: 'UTF8',
  blobAsText: true,
};

// Documents by id: the ones a test searches for, and filler that keeps the
// concurrent indexing busy and shares most words with the others.
const documents = new Map([
  [1, ['Собака Баскервилей', 'Огромная собака выла на болотах, и сэр Генри слышал её.']],
  [2, ['Иванов и Петров', 'Иванов написал письмо Петрову о французских булках.']],
  [3, ['The quick fox', 'The quick brown fox jumps over the lazy dog near the river.']],
  [4, ['Сетевые протоколы', 'Протокол TCP/IP и язык C++ в одном тексте.']],
]);
for (let id = 100; id < 140; id++) {
  documents.set(id, [`Заметка ${id}`, `Заметка номер ${id}: болота, письма и протоколы, день ${id % 7}.`]);
}

// A login node-firebird now and then gets refused is tried again (the
// deployment test has made sure the driver can log in with this password).
const LOGIN_REFUSED = 335544472;
async function attach() {
  for (let attempt = 1; ; attempt++) {
    try {
      return await Firebird.attachAsync(options);
    } catch (error) {
      if (error.gdscode !== LOGIN_REFUSED || attempt === 3) throw error;
    }
  }
}

async function titlesOf(db, sql, params) {
  const rows = await db.queryAsync(
    `SELECT D.TITLE, S.SCORE FROM ${sql} S JOIN DOCUMENTS D ON D.ID = S.DOC_ID ORDER BY S.SCORE DESC, D.ID`, params);
  return rows.map((row) => row.TITLE);
}

async function main() {
  const expectedWords = fs.readFileSync(process.argv[2], 'utf8').split('\n').filter((word) => word !== '');
  assert.ok(expectedWords.length > 0, 'no expected words were given');

  // Four connections index at once, each document in a transaction of its own.
  const connections = [];
  for (let i = 0; i < 4; i++) connections.push(await attach());
  const queue = [...documents];
  await Promise.all(connections.map(async (db) => {
    for (let next = queue.shift(); next; next = queue.shift()) {
      const [id, [title, body]] = next;
      await db.queryAsync('INSERT INTO DOCUMENTS (ID, TITLE, BODY) VALUES (?, ?, ?)', [id, title, body]);
    }
  }));
  await Promise.all(connections.map((db) => db.detachAsync()));

  const db = await attach();
  try {
    const [{ COUNT: indexed }] = await db.queryAsync('SELECT COUNT(*) AS "COUNT" FROM FT_DOCUMENTS');
    assert.equal(Number(indexed), documents.size, 'every stored document is indexed');

    // What the index stores of a text is what the module gives, in UTF-8.
    const words = await db.queryAsync('SELECT WORD FROM FT_WORDS(?, 0) ORDER BY POS', [SAMPLE_TEXT]);
    assert.deepEqual(words.map((row) => row.WORD), expectedWords);

    assert.deepEqual(await titlesOf(db, 'FT_SEARCH(?, 10)', ['собака']), ['Собака Баскервилей']);
    assert.deepEqual(await titlesOf(db, 'FT_SEARCH(?, 10)', ['ИВАНОВ французских']), ['Иванов и Петров']);
    assert.deepEqual(await titlesOf(db, 'FT_SEARCH_PHRASE(?, 10)', ['lazy dog']), ['The quick fox']);
    assert.deepEqual(await titlesOf(db, 'FT_SEARCH(?, 10)', ['TCP/IP C++']), ['Сетевые протоколы']);
    assert.deepEqual(await titlesOf(db, 'FT_SEARCH_PREFIX(?, 10)', ['баскер']), ['Собака Баскервилей']);
    assert.equal((await titlesOf(db, 'FT_SEARCH(?, 100)', ['болотах'])).length, 1);

    // Latin spelling, Cyrillic document: the phonetic code reads both alike.
    const sounds = await db.queryAsync(
      'SELECT DISTINCT S.DOC_ID, S.MATCHED_WORD FROM FT_SEARCH_SOUND(?, 10) S ORDER BY S.DOC_ID', ['Ivanov']);
    assert.deepEqual(sounds.map((row) => [Number(row.DOC_ID), row.MATCHED_WORD]), [[2, 'ИВАНОВ']]);

    // A changed document is found by its new words only; a deleted one not at all.
    await db.queryAsync('UPDATE DOCUMENTS SET BODY = ? WHERE ID = 1', ['Кошка спала на крыльце.']);
    assert.deepEqual(await titlesOf(db, 'FT_SEARCH(?, 10)', ['собака']), ['Собака Баскервилей'], 'the title still says it');
    assert.deepEqual(await titlesOf(db, 'FT_SEARCH(?, 10)', ['болотах']), []);
    assert.deepEqual(await titlesOf(db, 'FT_SEARCH(?, 10)', ['кошка']), ['Собака Баскервилей']);
    await db.queryAsync('DELETE FROM DOCUMENTS WHERE ID = 1');
    assert.deepEqual(await titlesOf(db, 'FT_SEARCH(?, 10)', ['кошка']), []);

    // A named index over the title and the body, the title weighing three times the body.
    await db.queryAsync("EXECUTE PROCEDURE FT_CREATE_INDEX('DOCUMENTS_TEXT', 'DOCUMENTS', 'ID', 'TITLE^3, BODY')");
    const named = (query) => titlesOf(db, "FT_SEARCH(?, 10, 'DOCUMENTS_TEXT')", [query]);
    assert.deepEqual(await named('title:иванов'), ['Иванов и Петров']);
    assert.deepEqual(await named('body:протокол'), ['Сетевые протоколы']);
    assert.deepEqual((await named('протоколы')).slice(0, 1), ['Сетевые протоколы'], 'a title match ranks first');
    const [{ MARKED: marked }] = await db.queryAsync(
      "SELECT FT_HIGHLIGHT(TITLE, ?, '<b>', '</b>', 'DOCUMENTS_TEXT', 'TITLE', 1) AS MARKED FROM DOCUMENTS WHERE ID = 2",
      ['title:Иванов']);
    assert.equal(marked, '<b>Иванов</b> и Петров');
    const [info] = await db.queryAsync("SELECT DOCUMENTS FROM FT_INDEX_INFO('DOCUMENTS_TEXT')");
    assert.equal(Number(info.DOCUMENTS), documents.size - 1, 'FT_INDEX_INFO counts the rows');
    assert.deepEqual(await db.queryAsync("SELECT * FROM FT_CHECK('DOCUMENTS_TEXT')"), []);
  } finally {
    await db.detachAsync();
  }
  await unicodeIndex();
  console.log(`search_client: ${documents.size} documents indexed over 4 connections; every search answered right, ` +
              "the named index's and the Unicode index's too");
}

// Articles in six languages in a UTF8 database, an index over them made
// without naming an analyzer (so a Unicode one), and a search in each.
const ARTICLES = [
  [1, 'Die Straßenbahn', 'Über die Straße fährt die Straßenbahn nach München.'],
  [2, 'Программисты', 'Программисты поставили ёлку в серверной.'],
  [3, 'Le café', "Le café à côté de l'école ouvre tôt."],
  [4, 'Η Αθήνα', 'Το καλοκαίρι η Αθήνα γεμίζει επισκέπτες.'],
  [5, 'Łódź', 'W Łodzi i w Gdańsku żółte liście leżały na ulicach.'],
  [6, '東京', '東京都は日本の首都です。'],
];

async function unicodeIndex() {
  const db = await Firebird.attachAsync({ ...options, database: process.env.FIREBIRD_UNICODE_DATABASE });
  try {
    await db.queryAsync('CREATE TABLE ARTICLES (ID INTEGER NOT NULL PRIMARY KEY, TITLE VARCHAR(100), BODY BLOB SUB_TYPE TEXT)');
    for (const [id, title, body] of ARTICLES) {
      await db.queryAsync('INSERT INTO ARTICLES (ID, TITLE, BODY) VALUES (?, ?, ?)', [id, title, body]);
    }
    await db.queryAsync("EXECUTE PROCEDURE FT_CREATE_INDEX('ARTICLES_TEXT', 'ARTICLES', 'ID', 'TITLE, BODY')");
    const [{ ANALYZER: analyzer }] = await db.queryAsync(
      "SELECT ANALYZER FROM FT_INDEXES WHERE INDEX_NAME = 'ARTICLES_TEXT'");
    assert.equal(analyzer, 'unicode/1');
    const found = async (query) => (await db.queryAsync(
      "SELECT DOC_ID FROM FT_SEARCH(?, 10, 'ARTICLES_TEXT') ORDER BY DOC_ID", [query])).map((row) => Number(row.DOC_ID));
    for (const [query, ids] of [['strasse MUNCHEN', [1]], ['ПРОГРАММИСТЫ елку', [2]], ['cafe ecole', [3]],
                                ['αθηνα', [4]], ['GDANSKU zolte', [5]], ['首都', [6]], ['«ёлку в»', [2]]]) {
      assert.deepEqual(await found(query), ids, query);
    }
    const words = await db.queryAsync("SELECT WORD FROM FT_WORDS(?, 0, 'ARTICLES_TEXT') ORDER BY POS",
                                      ['Über die Straße München Größe']);
    assert.deepEqual(words.map((row) => row.WORD), ['uber', 'die', 'strasse', 'munchen', 'grosse']);
    const [{ SNIPPET: snippet }] = await db.queryAsync(
      "SELECT FT_SNIPPET(BODY, ?, '[', ']', 30, '...', 'ARTICLES_TEXT') AS SNIPPET FROM ARTICLES WHERE ID = 6", ['日本']);
    assert.equal(snippet, '東京都は[日本]の首都です。');
  } finally {
    await db.detachAsync();
  }
}

main().catch((error) => {
  console.error('search_client:', error);
  process.exit(1);
});
