/* The main job's UTF8 database: articles in seven languages and a Unicode
   index over them, made without naming an analyzer (a UTF8 database's
   default), and one that stems German and Russian words. */
CREATE TABLE ARTICLES (
  ID    INTEGER NOT NULL PRIMARY KEY,
  LANG  VARCHAR(2),
  TITLE VARCHAR(200),
  BODY  BLOB SUB_TYPE TEXT
);
COMMIT;

INSERT INTO ARTICLES VALUES (1, 'de', 'Die Straßenbahn in München',
  'Über die Straße fährt die Straßenbahn; die Größe der Häuser in München überrascht jeden Besucher.');
INSERT INTO ARTICLES VALUES (2, 'de', 'Häuser am Fluss',
  'Die alten Häuser am Fluss wurden nach dem Hochwasser wieder aufgebaut.');
INSERT INTO ARTICLES VALUES (3, 'ru', 'Программисты и ёлки',
  'Программисты в Новосибирске поставили ёлку прямо в серверной и украсили её старыми дисками.');
INSERT INTO ARTICLES VALUES (4, 'ru', 'Новая база данных',
  'База данных Firebird хранит тексты на любом языке, если её кодировка UTF8.');
INSERT INTO ARTICLES VALUES (5, 'fr', 'Le café de l''école',
  'Le café à côté de l''école ouvre à sept heures; les élèves y prennent un chocolat.');
INSERT INTO ARTICLES VALUES (6, 'el', 'Η Αθήνα το καλοκαίρι',
  'Το καλοκαίρι η Αθήνα γεμίζει επισκέπτες που ανεβαίνουν στην Ακρόπολη.');
INSERT INTO ARTICLES VALUES (7, 'pl', 'Zażółć gęślą jaźń',
  'W Łodzi i w Gdańsku pogoda była piękna, a żółte liście leżały na ulicach.');
INSERT INTO ARTICLES VALUES (8, 'ja', '東京の天気',
  '東京都は日本の首都です。今日の東京は晴れで、気温は二十度です。');
INSERT INTO ARTICLES VALUES (9, 'ja', '京都の寺',
  '京都には古い寺がたくさんあります。秋の紅葉がとても美しいです。');
COMMIT;

EXECUTE PROCEDURE FT_CREATE_INDEX('ARTICLES_TEXT', 'ARTICLES', 'ID', 'TITLE^2, BODY');
EXECUTE PROCEDURE FT_CREATE_INDEX('ARTICLES_STEMMED', 'ARTICLES', 'ID', 'TITLE^2, BODY', 'unicode stem=german+russian');
COMMIT;
