-- The large demo set, loaded after load.sql (scripts/demo large [SCALE]):
--   psql -1 -v scale=SCALE [-v metadata=1] -f large.sql
-- Scale 1: 2,000,000 documents, about 6,000,000 lines, 100,000 organisations, 50,000 goods.
-- metadata=1 adds 2,000 lists with 40,000 fields for the registry benchmark.
-- Rows are added after the demo's own; every choice is a hash of the row number.
\set ON_ERROR_STOP 1
\o /dev/null
\if :{?metadata}
\else
\set metadata 0
\endif
SET client_min_messages = warning;
SELECT set_config('orv.scale', :'scale', false);
SELECT set_config('orv.metadata', :'metadata', false);
-- Bulk rows are consistent by construction; triggers and foreign keys are not re-checked.
SET session_replication_role = replica;
SET ROLE orv_owner;

CREATE TEMP TABLE n AS
SELECT greatest(1, round(100000 * s))::int AS orgs, greatest(1, round(50000 * s))::int AS goods,
       greatest(1, round(2000000 * s))::int AS docs
FROM (SELECT current_setting('orv.scale')::numeric AS s) x;

INSERT INTO orgs (id, name, inn, kpp, address, phone)
SELECT 1000 + i,
       (ARRAY['ООО', 'АО', 'ПАО', 'ЗАО'])[1 + orv_rnd(i, 105, 4)] || ' «'
         || (ARRAY['Северный', 'Южный', 'Восточный', 'Западный', 'Центральный', 'Уральский', 'Сибирский', 'Волжский', 'Балтийский', 'Донской'])[1 + orv_rnd(i, 106, 10)]
         || ' ' || (ARRAY['Вектор', 'Альянс', 'Ресурс', 'Стандарт', 'Партнёр', 'Капитал', 'Прогресс', 'Горизонт', 'Меридиан', 'Союз', 'Элемент', 'Импульс'])[1 + orv_rnd(i, 107, 12)]
         || ' ' || i || '»',
       orv_inn(lpad((100000000 + i)::text, 9, '0')),
       lpad((1 + orv_rnd(i, 108, 99))::text, 2, '0') || '01' || '01' || lpad(orv_rnd(i, 109, 1000)::text, 3, '0'),
       'г. ' || (ARRAY['Москва', 'Санкт-Петербург', 'Новосибирск', 'Екатеринбург', 'Казань', 'Самара'])[1 + orv_rnd(i, 110, 6)] || ', д. ' || (1 + orv_rnd(i, 111, 200)),
       NULL
FROM n, generate_series(1, n.orgs) i;

-- Prices and VAT rates of the added goods are functions of their number, so document totals
-- can be computed without reading them back.
CREATE FUNCTION pg_temp.price(g int) RETURNS numeric LANGUAGE sql IMMUTABLE AS
  $$ SELECT round((10 + orv_rnd(g, 121, 100000) / 10.0)::numeric, 2) $$;
CREATE FUNCTION pg_temp.rate(g int) RETURNS numeric LANGUAGE sql IMMUTABLE AS
  $$ SELECT CASE WHEN orv_rnd(g, 122, 10) = 0 THEN 10 ELSE 20 END::numeric $$;
CREATE FUNCTION pg_temp.good(d int, k int, goods int) RETURNS int LANGUAGE sql IMMUTABLE AS
  $$ SELECT 1000 + 1 + orv_rnd(d::bigint * 8 + k, 143, goods) $$;
CREATE FUNCTION pg_temp.qty(d int, k int) RETURNS numeric LANGUAGE sql IMMUTABLE AS
  $$ SELECT (1 + orv_rnd(d::bigint * 8 + k, 142, 20))::numeric $$;
CREATE FUNCTION pg_temp.nlines(d int) RETURNS int LANGUAGE sql IMMUTABLE AS
  $$ SELECT 1 + orv_rnd(d, 141, 5) $$;

INSERT INTO goods (id, name, article, unitid, price, vatrate)
SELECT 1000 + i,
       (ARRAY['Бумага', 'Ручка', 'Картридж', 'Стол', 'Стул', 'Кабель', 'Монитор', 'Лампа', 'Краска', 'Цемент'])[1 + orv_rnd(i, 120, 10)] || ' арт. ' || i,
       'Б-' || lpad(i::text, 6, '0'), 1 + orv_rnd(i, 123, 6), pg_temp.price(1000 + i), pg_temp.rate(1000 + i)
FROM n, generate_series(1, n.goods) i;

INSERT INTO documents (id, typeid, num, docdate, orgid, warehouseid, baseid, stateid, summa, vat, viewed)
SELECT 100000 + i, t, (CASE t WHEN 1 THEN 'СЧ-' ELSE 'ТН-' END) || (100000 + i),
       date '2023-01-01' + orv_rnd(i, 131, 731), 1000 + 1 + orv_rnd(i, 132, n.orgs),
       CASE WHEN t = 2 THEN 1 + orv_rnd(i, 133, 3) END, NULL, 2 + orv_rnd(i, 134, 2),
       s.summa, s.vat, true
FROM n, generate_series(1, n.docs) i
CROSS JOIN LATERAL (SELECT 1 + i % 2 AS t) tt
CROSS JOIN LATERAL (
  SELECT sum(round(pg_temp.qty(100000 + i, k) * pg_temp.price(g), 2)) AS summa,
         sum(round(pg_temp.qty(100000 + i, k) * pg_temp.price(g) * pg_temp.rate(g) / 100, 2)) AS vat
  FROM generate_series(1, pg_temp.nlines(100000 + i)) k
  CROSS JOIN LATERAL (SELECT pg_temp.good(100000 + i, k, n.goods) AS g) gg) s;

INSERT INTO lines (id, docid, lineno, goodid, qty, price, summa, vat)
SELECT 10000000 + (i::bigint * 8 + k)::int, 100000 + i, k, g, q, p, round(q * p, 2), round(q * p * r / 100, 2)
FROM n, generate_series(1, n.docs) i
CROSS JOIN LATERAL generate_series(1, pg_temp.nlines(100000 + i)) k
CROSS JOIN LATERAL (SELECT pg_temp.good(100000 + i, k, n.goods) AS g,
                           pg_temp.qty(100000 + i, k) AS q) gq
CROSS JOIN LATERAL (SELECT pg_temp.price(g) AS p, pg_temp.rate(g) AS r) pr;

-- Metadata for the registry benchmark: lists with linked fields, multi-line captions and
-- title groups.
INSERT INTO setup_lists (rootid, name, aliasid, objectname, primaryfields)
SELECT 'реестр_' || lpad(i::text, 4, '0'), 'Реестр № ' || i, 'ORV', 'документы :ID, :FILTER, :ORDER', 'ID'
FROM generate_series(1, 2000) i WHERE current_setting('orv.metadata') = '1';
INSERT INTO setup_listfld (rootid, fieldname, aindex, name, tag, displaywidth, linklistid,
                           listfieldname, keyfields, titlestyle, visible)
SELECT 'реестр_' || lpad(i::text, 4, '0'), 'ПОЛЕ' || f, f - 1,
       'Поле ' || f || CASE WHEN f % 3 = 0 THEN '~''строка 2' ELSE '' END, f, 10 + f % 20,
       CASE WHEN f % 5 = 0 THEN 'реестр_' || lpad((1 + (i + f) % 2000)::text, 4, '0') END,
       CASE WHEN f % 5 = 0 THEN 'ПОЛЕ1' END, CASE WHEN f % 5 = 0 THEN 'ПОЛЕ' || f END,
       CASE WHEN f % 4 = 0 THEN 'Группа ' || (f / 4) END, 1
FROM generate_series(1, 2000) i, generate_series(1, 20) f WHERE current_setting('orv.metadata') = '1';

RESET ROLE;
SET session_replication_role = origin;
