-- Demo data. Deterministic: every "random" choice is a hash of the row number, so two loads
-- give the same rows.

-- A number in 0 .. n-1 chosen by row i and stream salt.
CREATE FUNCTION orv_rnd(i bigint, salt int, n int) RETURNS int
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT (abs(hashint8(i * 1024 + salt)::bigint) % n)::int
$$;

-- INN with valid check digits from its first 9 (legal entity) or 10 (individual) digits.
CREATE FUNCTION orv_inn(base text) RETURNS text
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
  w10 int[] := '{2,4,10,3,5,9,4,6,8}';
  w11 int[] := '{7,2,4,10,3,5,9,4,6,8}';
  w12 int[] := '{3,7,2,4,10,3,5,9,4,6,8}';
  s int;
  r text := base;
BEGIN
  IF length(base) = 9 THEN
    s := 0; FOR k IN 1 .. 9 LOOP s := s + w10[k] * substr(r, k, 1)::int; END LOOP;
    RETURN r || (s % 11 % 10);
  END IF;
  s := 0; FOR k IN 1 .. 10 LOOP s := s + w11[k] * substr(r, k, 1)::int; END LOOP;
  r := r || (s % 11 % 10);
  s := 0; FOR k IN 1 .. 11 LOOP s := s + w12[k] * substr(r, k, 1)::int; END LOOP;
  RETURN r || (s % 11 % 10);
END $$;

ALTER TABLE orgs ADD CONSTRAINT orgs_inn_valid
  CHECK (inn IS NULL OR inn = orv_inn(left(inn, length(inn) - CASE WHEN length(inn) = 10 THEN 1 ELSE 2 END)));

INSERT INTO units VALUES (1, 'шт', '796'), (2, 'кг', '166'), (3, 'л', '112'), (4, 'м', '006'),
  (5, 'упак', '778'), (6, 'компл', '839');
INSERT INTO warehouses VALUES
  (1, 'Центральный склад', 'г. Москва, ул. Складская, д. 1'),
  (2, 'Склад «Север»', 'г. Санкт-Петербург, Выборгское ш., д. 15'),
  (3, 'Склад «Урал»', 'г. Екатеринбург, ул. Фронтовых Бригад, д. 7');

INSERT INTO itemtypes VALUES
  (1, 'Папка', NULL, NULL, NULL),
  (2, 'Справочник', NULL, '.Справочник', NULL),
  (3, 'Реестр документов', 'документы', '.Документы', '..Реестр'),
  (4, 'Документ', 'документ_строки', '.Документ', '..Карточка'),
  (5, 'Объект', NULL, NULL, NULL),
  (6, 'Отчёт', 'фп_отчеты', '.Отчеты', NULL),
  (7, 'Доступ', 'доступ_пользователи', '.Доступ', NULL),
  (8, 'Задание', 'поле_текст', '.Задание', NULL),
  (-300350, 'Вкладка', NULL, NULL, NULL),
  (-300490, 'Кнопка', NULL, NULL, NULL);
INSERT INTO itemtype_children VALUES (1, 1), (1, 2), (1, 3), (1, 6), (1, 8), (2, 5), (3, 4);

INSERT INTO items (id, parentid, baseid, typeid, name, ordno, objlistid) VALUES
  (-1, NULL, NULL, 1, 'Демо-организация', 1, NULL),
  (100, -1, NULL, 1, 'Справочники', 1, NULL),
  (110, 100, NULL, 2, 'Организации', 1, 'справочник_организации'),
  (120, 100, NULL, 2, 'Товары', 2, 'справочник_товары'),
  (130, 100, NULL, 2, 'Единицы измерения', 3, 'справочник_единицы'),
  (140, 100, NULL, 2, 'Склады', 4, 'справочник_склады'),
  (200, -1, NULL, 1, 'Документы', 2, NULL),
  (210, 200, NULL, 3, 'Счета', 1, NULL),
  (220, 200, NULL, 3, 'Накладные', 2, NULL),
  (230, 200, NULL, 3, 'Платёжные поручения', 3, NULL),
  (240, 200, NULL, 3, 'Договоры', 4, NULL),
  (300, -1, NULL, 1, 'Отчёты и задания', 3, NULL),
  (310, 300, NULL, 8, 'Закрытие месяца', 1, NULL),
  (320, 300, NULL, 8, 'Рассылка счетов', 2, NULL),
  (330, 300, NULL, 6, 'Отчёты по документам', 3, NULL),
  (-131, -1, NULL, 7, 'Настройка доступа', 9, NULL),
  (131099, -1, NULL, 1, 'Избранное', 4, NULL),
  (2101, 210, 1, 4, 'Счёт', 1, NULL),
  (131100, 131099, 2101, 4, 'Ярлык: счёт', 1, NULL),
  (1101, 110, 5001, 5, 'ООО «Вектор»', 1, NULL),
  (2301, 230, NULL, -300490, 'Кнопка "Провести"', 1, NULL),
  (2102, 210, NULL, -300350, 'Вкладка "Строки"', 2, NULL);
INSERT INTO nodes VALUES (5001, 110, 'ООО «Вектор»');

INSERT INTO acc_types VALUES
  (-9997521, 'Просмотр', false), (-9997526, 'Изменение', false),
  (-311001, 'Просмотр потомков', true), (-311002, 'Изменение потомков', true);
INSERT INTO acc_rights (id, itemid, typeid, uid, formid, objid, allowed, child) VALUES
  (1, 100, -9997526, 2, 0, 0, true, true),
  (2, 200, -9997526, 2, 0, 0, true, true),
  (3, 120, -9997526, 3, 0, 0, true, true),
  (4, 220, -9997526, 3, 0, 0, true, true),
  (5, 230, -9997526, 3, 0, 0, false, true),
  (6, 230, -9997521, 3, 0, 0, false, true),
  (7, -1, -9997526, 4, 0, 0, false, true),
  (8, 2301, -9997521, 3, 210, 7, false, false),
  (9, 2102, -9997521, 4, 210, 3, false, false);

INSERT INTO doctypes VALUES
  (1, 'Счёт', true, 210, 'СЧ'),
  (2, 'Накладная', true, 220, 'ТН'),
  (3, 'Платёжное поручение', false, 230, 'ПП'),
  (4, 'Договор', false, 240, 'ДГ');
INSERT INTO states VALUES (1, 'Черновик', false), (2, 'Проведён', false), (3, 'Исполнен', true),
  (4, 'Отменён', true);

-- Organisations: ~300, names from word lists, valid INN/KPP (individuals without KPP).
INSERT INTO orgs (id, name, inn, kpp, address, phone, note)
SELECT i,
       CASE WHEN orv_rnd(i, 1, 10) = 9
            THEN 'ИП ' || (ARRAY['Иванов', 'Петрова', 'Сидоренко', 'Кузнецов', 'Смирнова', 'Фёдоров', 'Орлова', 'Зайцев'])[1 + orv_rnd(i, 2, 8)]
                 || ' ' || (ARRAY['А.', 'Б.', 'В.', 'Г.', 'Д.', 'Е.', 'Ж.', 'И.'])[1 + orv_rnd(i, 3, 8)] || ' '
                 || (ARRAY['С.', 'П.', 'Н.', 'М.'])[1 + orv_rnd(i, 4, 4)]
            ELSE (ARRAY['ООО', 'АО', 'ПАО', 'ЗАО'])[1 + orv_rnd(i, 5, 4)] || ' «'
                 || (ARRAY['Северный', 'Южный', 'Восточный', 'Западный', 'Центральный', 'Уральский', 'Сибирский', 'Волжский', 'Балтийский', 'Донской'])[1 + orv_rnd(i, 6, 10)]
                 || ' ' || (ARRAY['Вектор', 'Альянс', 'Ресурс', 'Стандарт', 'Партнёр', 'Капитал', 'Прогресс', 'Горизонт', 'Меридиан', 'Союз', 'Элемент', 'Импульс'])[1 + orv_rnd(i, 7, 12)]
                 || CASE WHEN i > 120 THEN ' ' || i ELSE '' END || '»'
       END,
       CASE WHEN orv_rnd(i, 1, 10) = 9 THEN orv_inn(lpad((770000000 + i * 7919)::text, 10, '0'))
            ELSE orv_inn(lpad((770100000 + i * 104729 % 899999)::text, 9, '0')) END,
       CASE WHEN orv_rnd(i, 1, 10) = 9 THEN NULL ELSE '7701' || '01' || lpad((i % 1000)::text, 3, '0') END,
       'г. ' || (ARRAY['Москва', 'Санкт-Петербург', 'Новосибирск', 'Екатеринбург', 'Казань', 'Нижний Новгород', 'Самара', 'Ростов-на-Дону'])[1 + orv_rnd(i, 8, 8)]
         || ', ул. ' || (ARRAY['Ленина', 'Мира', 'Садовая', 'Заводская', 'Школьная', 'Лесная'])[1 + orv_rnd(i, 9, 6)] || ', д. ' || (1 + orv_rnd(i, 10, 120)),
       '+7 (' || (495 + orv_rnd(i, 11, 5)) || ') ' || lpad(orv_rnd(i, 12, 1000)::text, 3, '0') || '-' || lpad(orv_rnd(i, 13, 100)::text, 2, '0') || '-' || lpad(orv_rnd(i, 14, 100)::text, 2, '0'),
       NULL
FROM generate_series(1, 294) i;
-- Edge rows: Ё, quotes of both kinds, a name at its length limit, NULLs.
INSERT INTO orgs (id, name, inn, kpp, address, phone, note) VALUES
  (295, 'ООО «Ёлка и ёж»', orv_inn('771234567'), '771201001', 'г. Москва, Ёлочная ул., д. 1', NULL, 'Ё в начале имени'),
  (296, 'ООО "Рога и копыта"', orv_inn('771234568'), '771201001', 'г. Черноморск', NULL, 'Кавычки "двойные"'),
  (297, 'Кафе O''Брайен', orv_inn('7712345690'), NULL, NULL, NULL, 'Апостроф'),
  (298, rpad('АО «Очень длинное наименование организации', 149, ' и партнёры') || '»', orv_inn('771234570'), '771201001', NULL, NULL, 'Имя предельной длины'),
  (299, 'ООО «Без адреса»', NULL, NULL, NULL, NULL, NULL),
  (300, 'ооо «строчные буквы»', orv_inn('771234571'), '771201001', 'г. Тверь', '+7 (4822) 00-00-00', NULL);

-- Goods: ~500
INSERT INTO goods (id, name, article, unitid, price, vatrate)
SELECT i,
       (ARRAY['Бумага', 'Ручка', 'Картридж', 'Стол', 'Стул', 'Кабель', 'Монитор', 'Клавиатура', 'Лампа', 'Краска', 'Цемент', 'Гвозди', 'Масло', 'Вода питьевая', 'Ёмкость'])[1 + (i - 1) % 15]
         || ' ' || (ARRAY['офисный', 'стандарт', 'премиум', 'эконом', 'профи', 'мини', 'макси', 'люкс'])[1 + orv_rnd(i, 20, 8)]
         || ' ' || i,
       'А-' || lpad(i::text, 5, '0'),
       (ARRAY[5, 1, 1, 1, 1, 4, 1, 1, 1, 3, 2, 2, 3, 3, 1])[1 + (i - 1) % 15],
       round((10 + orv_rnd(i, 21, 100000) / 10.0)::numeric, 2),
       CASE WHEN orv_rnd(i, 22, 10) = 0 THEN 10 ELSE 20 END
FROM generate_series(1, 500) i;

-- Documents: ~2,000 of 2023-2024. Invoices and waybills have lines; payment orders follow
-- an invoice; contracts stand alone.
INSERT INTO documents (id, typeid, num, docdate, orgid, warehouseid, baseid, stateid, summa, vat, note, viewed)
SELECT i, t,
       (ARRAY['СЧ', 'ТН', 'ПП', 'ДГ'])[t] || '-' || i,
       date '2023-01-01' + orv_rnd(i, 31, 731),
       1 + orv_rnd(i, 32, 300),
       CASE WHEN t = 2 THEN 1 + orv_rnd(i, 33, 3) END,
       NULL,
       CASE WHEN orv_rnd(i, 34, 10) = 0 THEN 1 WHEN orv_rnd(i, 34, 10) = 1 THEN 4
            WHEN orv_rnd(i, 34, 10) < 6 THEN 2 ELSE 3 END,
       0, 0, NULL, orv_rnd(i, 35, 3) > 0
FROM (SELECT i, CASE WHEN i % 10 < 4 THEN 1 WHEN i % 10 < 7 THEN 2 WHEN i % 10 < 9 THEN 3 ELSE 4 END AS t
      FROM generate_series(1, 2000) i) s;

INSERT INTO lines (id, docid, lineno, goodid, qty, price, summa, vat)
SELECT row_number() OVER (ORDER BY d.id, n), d.id, n, g.id, q, g.price,
       round(q * g.price, 2), round(q * g.price * g.vatrate / 100, 2)
FROM documents d
CROSS JOIN LATERAL generate_series(1, 1 + orv_rnd(d.id, 41, 8)) n
CROSS JOIN LATERAL (SELECT (1 + orv_rnd(d.id * 16 + n, 42, 50))::numeric AS q) qq
JOIN goods g ON g.id = 1 + orv_rnd(d.id * 16 + n, 43, 500)
WHERE d.typeid IN (1, 2) AND NOT (d.stateid = 1 AND d.id % 7 = 0);

-- Payment orders pay an earlier invoice in full; contracts carry their own sum.
UPDATE documents d SET summa = t.s, vat = t.v
FROM (SELECT docid, sum(summa) s, sum(vat) v FROM lines GROUP BY docid) t WHERE t.docid = d.id;
UPDATE documents p SET baseid = (SELECT max(i.id) FROM documents i WHERE i.typeid = 1 AND i.id < p.id)
WHERE p.typeid = 3;
UPDATE documents p SET summa = i.summa, vat = i.vat FROM documents i WHERE p.typeid = 3 AND i.id = p.baseid;
UPDATE documents SET summa = 10000 * (1 + orv_rnd(id, 44, 500)), vat = round(10000 * (1 + orv_rnd(id, 44, 500)) / 6.0, 2)
WHERE typeid = 4;
UPDATE documents d SET baseid = (SELECT max(c.id) FROM documents c WHERE c.typeid = 4 AND c.id < d.id)
WHERE d.typeid = 1 AND d.id % 3 = 0;
-- Edge rows: a leap day, a return (negative quantity), a note with quotes.
UPDATE documents SET docdate = date '2024-02-29', note = 'Документ от 29.02.2024' WHERE id = 2;
UPDATE lines SET qty = -qty, summa = -summa, vat = -vat WHERE docid = 5;
UPDATE documents d SET summa = t.s, vat = t.v, note = 'Возврат товара'
FROM (SELECT docid, sum(summa) s, sum(vat) v FROM lines WHERE docid = 5 GROUP BY docid) t WHERE d.id = t.docid;
UPDATE documents SET note = 'Оплата по счёту "срочно", см. письмо от ''05.03.2024''' WHERE id = 8;

-- State history: each document went through the states up to its own.
INSERT INTO docstates (id, docid, stateid, changed, uid, enddate)
SELECT row_number() OVER (ORDER BY d.id, s), d.id, s,
       (d.docdate + (s - 1) * 2)::timestamp + make_interval(hours => 9 + orv_rnd(d.id, 51 + s, 9)),
       1 + orv_rnd(d.id, 55, 3),
       CASE WHEN s < 3 THEN d.docdate + s * 5 END
FROM documents d CROSS JOIN LATERAL (
  SELECT s FROM generate_series(1, d.stateid) s WHERE s <= 2 OR s = d.stateid) ss;

INSERT INTO resolutions (id, docid, stateid, typeid, sender, text, created, done)
SELECT row_number() OVER (ORDER BY d.id), d.id, least(d.stateid + 1, 3), 1, 1 + orv_rnd(d.id, 61, 3),
       (ARRAY['Согласовать', 'Оплатить до конца месяца', 'Проверить сумму', 'Ознакомиться'])[1 + orv_rnd(d.id, 62, 4)],
       d.docdate::timestamp + interval '10 hours', d.stateid >= 3
FROM documents d WHERE d.id % 4 = 0;

INSERT INTO docfiles (id, docid, doctypeid, filepath, name)
SELECT d.id, d.id, d.typeid, 'files/' || d.num || '.pdf', 'Скан ' || d.num
FROM documents d WHERE d.id % 50 = 0;

INSERT INTO letters VALUES
  (1, 1, -508205, 'Сопроводительное письмо к счёту', decode('78da258e4b0ac2401044f781dc61dc8b17944034ee5c18444530ff6c5d2491916062bcc29b2b78122bc83043575775bfa1a6a3e1a96b19dd1e6b783131e8581ef40bdf2395fb71a1de8ec11de6a4595371250fcc77779148c94838530486c96dd539112b124bbf698cdbb8885184485649ad70329b2e54bf5d09521a55ffbf588df43365a970a62d3985b61d05acc4b8710f7cef07c77777e7', 'hex')),
  (2, 3, -508205, 'Уведомление об оплате', decode('78da25cccd09c2401884e1bb600f5f05361802ba06724c84e84925c4068c7f2c6cb2b6f04e0b56e227de661e86e1c28d270f3213498de7c9bc8c46d486b7c7c4ec3a1389e690b82a68c7cb297327ff306badadeaff4e8d7daa83159c3873644f5ffaa5824b47cb405bae968b2fcf75522e', 'hex'));

INSERT INTO itemparams (id, baseid, rootid, vstring, vinteger, vdate, refid) VALUES
  (1, 210, 'ТИПДОКУМЕНТА', NULL, 1, NULL, NULL),
  (2, 220, 'ТИПДОКУМЕНТА', NULL, 2, NULL, NULL),
  (3, 220, 'СКЛАД', 'Центральный склад', 1, NULL, NULL),
  (4, 110, 'ОСНОВНОЙПОСТАВЩИК', NULL, NULL, NULL, 1),
  (5, 210, 'НАЧАЛОПЕРИОДА', NULL, NULL, date '2024-01-01', NULL);

INSERT INTO components VALUES
  (1, 'Карточка организации', 'TClientForm', E'object ОрганизацияForm: TClientForm\r\n  Caption = ''Организация''\r\nend\r\n'),
  (2, 'Панель документа', 'TFrame', E'object ДокументFrame: TFrame\r\n  Height = 200\r\nend\r\n');

-- Two stored jobs (script and schedule) and three report definitions.
INSERT INTO texts (id, baseid, typeid, text) VALUES
  (1, 310, 1, E'// Закрытие месяца: проводит черновики прошлого месяца\r\nbegin\r\n  ShowMessage(''Закрытие месяца'');\r\nend.\r\n'),
  (2, 310, 2, 'Ежемесячно, 1 числа, 02:00'),
  (3, 320, 1, E'// Рассылка счетов: письма по непрочитанным счетам\r\nbegin\r\n  ShowMessage(''Рассылка счетов'');\r\nend.\r\n'),
  (4, 320, 2, 'Ежедневно, 08:00');
INSERT INTO reports VALUES
  (1, 330, 'Реестр счетов', 'invoices.html', 'html'),
  (2, 330, 'Оборотная ведомость', 'turnover.ods', 'ods'),
  (3, 210, 'Акт сверки', 'reconciliation.rtf', 'rtf');
INSERT INTO texts (id, baseid, typeid, text) VALUES
  (5, 1, 3, E'[Реестр счетов]\r\nСПИСОК=документы\r\nФИЛЬТР=TYPEID = 1\r\n'),
  (6, 2, 3, E'[Оборотная ведомость]\r\nСПИСОК=документ_строки\r\n'),
  (7, 3, 3, E'[Акт сверки]\r\nСПИСОК=фп_карточки\r\n');

INSERT INTO gridsetups (id, uid, rootid, name, userflag) VALUES
  (1, 2, 'документы', 'Бухгалтерия: документы', 1),
  (2, NULL, 'документы', 'По умолчанию', 0);
INSERT INTO gridsetupitemcs VALUES (1, -45150, '1'), (1, -45110, '210'), (2, -45160, '0');
INSERT INTO gridsetupfields VALUES
  (1, 'NUM', 0, 1, 1, 80), (1, 'DOCDATE', 1, 1, 1, 80), (1, 'ORGNAME', 2, 1, 1, 240),
  (1, 'SUMMA', 3, 1, 1, 100), (1, 'NOTE', 4, 0, 1, 200);

INSERT INTO val_vallist (rootid, vstring, vinteger, vfloat, vdate, vtime, vboolean) VALUES
  ('НАЗВАНИЕОРГАНИЗАЦИИ', 'Демо-организация', NULL, NULL, NULL, NULL, NULL),
  ('СТАВКАНДС', NULL, 20, 20.0, NULL, NULL, NULL),
  ('НАЧАЛОГОДА', NULL, NULL, NULL, date '2024-01-01', NULL, NULL),
  ('НАЧАЛОДНЯ', NULL, NULL, NULL, NULL, time '09:00', true);

-- New rows continue after the loaded ones.
SELECT setval('counter_1', 2000);
