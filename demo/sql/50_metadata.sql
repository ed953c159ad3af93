-- LISTS and LISTFLD rows for every list, from its definition, its result type and its
-- update procedures (whose argument names give the :F / :OLD_F of the statements).

CREATE TEMP TABLE captions (fieldname text PRIMARY KEY, caption text NOT NULL);
INSERT INTO captions VALUES
  ('ID', 'Код'), ('UID', 'Код пользователя'), ('NAME', 'Наименование'), ('INN', 'ИНН'),
  ('KPP', 'КПП'), ('ADDRESS', 'Адрес'), ('PHONE', 'Телефон'), ('NOTE', 'Примечание'),
  ('ARTICLE', 'Артикул'), ('UNITID', 'Ед.'), ('UNITNAME', 'Ед.~''изм.'), ('PRICE', 'Цена'),
  ('VATRATE', 'Ставка~''НДС, %'), ('OKEI', 'Код ОКЕИ'), ('PREFIX', 'Префикс'),
  ('HASLINES', 'Строки'), ('FINAL', 'Итоговое'), ('TYPEID', 'Тип'), ('TYPENAME', 'Тип документа'),
  ('NUM', 'Номер'), ('DOCDATE', 'Дата'), ('ORGID', 'Организация'), ('ORGNAME', 'Организация'),
  ('WAREHOUSEID', 'Склад'), ('BASEID', 'Основание'), ('STATEID', 'Состояние'),
  ('STATENAME', 'Состояние'), ('SUMMA', 'Сумма~''с НДС'), ('VAT', 'В т.ч.~''НДС'),
  ('DOCID', 'Документ'), ('LINENO', '№'), ('GOODID', 'Товар'), ('GOODNAME', 'Товар'),
  ('QTY', 'Кол-во'), ('DOCTYPEID', 'Тип документа'), ('VIEWFLAG', 'Прочитан'),
  ('DOCCOUNT', 'Документов'), ('CHANGED', 'Изменено'), ('USERNAME', 'Пользователь'),
  ('ENDDATE', 'Срок'), ('SENDER', 'Отправитель'), ('SENDERNAME', 'Отправитель'),
  ('TEXT', 'Текст'), ('CREATED', 'Создано'), ('DONE', 'Исполнено'),
  ('STATETYPEID', 'Следующее состояние'), ('KIND', 'Вид'), ('IMAGE', 'Шаблон'),
  ('FILEPATH', 'Файл'), ('PLANDATE', 'Плановая дата'), ('INDOC', 'Документ'),
  ('LEVEL', 'Уровень'), ('PARENTID', 'Родитель'), ('PAID', 'Оплачено'), ('REST', 'Остаток'),
  ('SPDATE', 'Дата сеанса'), ('OBJLISTID', 'Список'), ('SCRIPTID', 'Сценарий'),
  ('PANELSCRIPTID', 'Панель'), ('DA', 'Удаление'), ('EA', 'Изменение'), ('IA', 'Добавление'),
  ('HASCHILDREN', 'Есть потомки'), ('ORDNO', 'Порядок'), ('ROOTID', 'Идентификатор'),
  ('VSTRING', 'Строка'), ('VINTEGER', 'Число'), ('VDATE', 'Дата'), ('REF_NAME', 'Ссылка'),
  ('CLSNAME', 'Класс'), ('FULLNAME', 'Полное имя'), ('ITEMID', 'Элемент'),
  ('ALLOWED', 'Разрешено'), ('CHILD', 'На потомков'), ('SET', 'Задано'),
  ('ITEMNAME', 'Установлено на'), ('FORMID', 'Форма'), ('OBJID', 'Объект'),
  ('FILENAME', 'Файл'), ('OBJECTNAME', 'Процедура'), ('ALIASID', 'Псевдоним'),
  ('PRIMARYFIELDS', 'Ключ'), ('FIELDNAME', 'Поле'), ('PARMNAME', 'Параметр'),
  ('USERFLAG', 'Признак');

CREATE TEMP TABLE links (fieldname text PRIMARY KEY, linklistid text NOT NULL);
INSERT INTO links VALUES
  ('ORGID', 'справочник_организации'), ('GOODID', 'справочник_товары'),
  ('UNITID', 'справочник_единицы'), ('WAREHOUSEID', 'справочник_склады'),
  ('STATEID', 'справочник_состояния'), ('DOCID', 'документы'),
  ('DOCTYPEID', 'справочник_типы_документов');

-- "EXEC proc :A, :B" from a procedure's argument names; NULL when there is no such procedure.
CREATE FUNCTION pg_temp.exec_text(proc text) RETURNS text
LANGUAGE sql STABLE AS $$
  SELECT 'EXEC ' || proc || ' ' || string_agg(':' || upper(a), ', ' ORDER BY n)
  FROM pg_proc p, unnest(p.proargnames) WITH ORDINALITY AS x(a, n)
  WHERE p.proname = proc AND p.pronamespace = 'public'::regnamespace
$$;

INSERT INTO setup_lists (rootid, name, key, aliasid, objectname, primaryfields, insertsql,
                         modifysql, deletesql)
SELECT d.listid, d.caption, NULL, 'ORV', btrim(coalesce(d.proc, d.listid) || ' ' || d.params),
       coalesce(d.keycol, (SELECT a.attname FROM pg_attribute a
                           WHERE a.attrelid = ('t_' || coalesce(d.proc, d.listid))::regclass AND a.attnum = 1)),
       pg_temp.exec_text(d.writer || '_i'), pg_temp.exec_text(d.writer || '_u'),
       pg_temp.exec_text(d.writer || '_d')
FROM list_defs d;

INSERT INTO setup_listfld (rootid, fieldname, aindex, name, tag, displaywidth, displayformat,
                           editformat, visible, propertyvisible, linklistid, listfieldname,
                           keyfields, required)
SELECT d.listid, a.attname, a.attnum - 1,
       coalesce(c.caption, initcap(a.attname)),
       a.attnum,
       CASE WHEN a.atttypid = 'varchar'::regtype THEN least(greatest(a.atttypmod - 4, 4), 40)
            WHEN a.atttypid = 'date'::regtype THEN 10
            WHEN a.atttypid = 'numeric'::regtype THEN 14
            WHEN a.atttypid = 'bool'::regtype THEN 4
            ELSE 8 END,
       CASE WHEN a.atttypid = 'date'::regtype THEN 'dd.mm.yyyy'
            WHEN a.atttypid = 'timestamp'::regtype THEN 'dd.mm.yyyy hh:nn'
            WHEN a.atttypid = 'numeric'::regtype AND (a.atttypmod - 4) & 65535 = 3 THEN '# ##0.000'
            WHEN a.atttypid = 'numeric'::regtype THEN '# ##0.00' END,
       CASE WHEN a.attname ~ '.NAME$' AND a.attname <> 'NAME' THEN ';;' END,
       CASE WHEN a.attname ~ 'ID$' AND l.fieldname IS NULL THEN 0 ELSE 1 END,
       1,
       CASE WHEN NOT (d.listid = l.linklistid) THEN l.linklistid END,
       CASE WHEN NOT (d.listid = l.linklistid) AND l.fieldname IS NOT NULL THEN 'ID' END,
       CASE WHEN NOT (d.listid = l.linklistid) AND l.fieldname IS NOT NULL THEN a.attname END,
       CASE WHEN a.attname = 'NAME' AND d.listid LIKE 'справочник%' THEN 1 ELSE 0 END
FROM list_defs d
JOIN pg_attribute a ON a.attrelid = ('t_' || coalesce(d.proc, d.listid))::regclass AND a.attnum > 0
LEFT JOIN captions c ON c.fieldname = upper(a.attname)
LEFT JOIN links l ON l.fieldname = a.attname;

-- Searches offered by the list's search box.
UPDATE setup_listfld SET search = fieldname || ' LIKE ''%s%%'''
WHERE fieldname IN ('NAME', 'ORGNAME', 'GOODNAME', 'NUM', 'INN');

DROP TABLE captions, links;
