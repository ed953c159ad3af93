-- The lists: one row each, made into procedures at the end of this file.
CREATE FUNCTION pg_temp.l(listid text, caption text, params text, cols text, body text,
                          keycol text DEFAULT 'ID', deforder text DEFAULT NULL,
                          writer text DEFAULT NULL) RETURNS void
LANGUAGE sql AS $$
  INSERT INTO list_defs (listid, caption, params, cols, body, keycol, deforder, writer)
  VALUES (listid, caption, params, cols, body, keycol, deforder, writer)
$$;

-- Directories
SELECT pg_temp.l('справочник_организации', 'Организации', ':ID, :FILTER, :ORDER',
  '"ID" int, "NAME" varchar(150), "INN" varchar(12), "KPP" varchar(9), "ADDRESS" varchar(200), "PHONE" varchar(30), "NOTE" varchar(500)',
  $b$SELECT id, name, inn, kpp, address, phone, note FROM orgs$b$, 'ID', 'name, id', 'sp_orgs');
SELECT pg_temp.l('справочник_товары', 'Товары', ':ID, :FILTER, :ORDER',
  '"ID" int, "NAME" varchar(150), "ARTICLE" varchar(20), "UNITID" int, "UNITNAME" varchar(20), "PRICE" numeric(15,2), "VATRATE" numeric(5,2)',
  $b$SELECT g.id, g.name, g.article, g.unitid, u.name AS unitname, g.price, g.vatrate
     FROM goods g JOIN units u ON u.id = g.unitid$b$, 'ID', 'name, id', 'sp_goods');
SELECT pg_temp.l('справочник_единицы', 'Единицы измерения', ':ID, :FILTER, :ORDER',
  '"ID" int, "NAME" varchar(20), "OKEI" varchar(3)',
  $b$SELECT id, name, okei FROM units$b$, 'ID', 'name');
SELECT pg_temp.l('справочник_склады', 'Склады', ':ID, :FILTER, :ORDER',
  '"ID" int, "NAME" varchar(100), "ADDRESS" varchar(200)',
  $b$SELECT id, name, address FROM warehouses$b$, 'ID', 'name');
SELECT pg_temp.l('справочник_типы_документов', 'Типы документов', ':ID, :FILTER, :ORDER',
  '"ID" int, "NAME" varchar(60), "PREFIX" varchar(5), "HASLINES" boolean',
  $b$SELECT id, name, prefix, haslines FROM doctypes$b$, 'ID', 'id');
SELECT pg_temp.l('справочник_состояния', 'Состояния документов', ':ID, :FILTER, :ORDER',
  '"ID" int, "NAME" varchar(60), "FINAL" boolean',
  $b$SELECT id, name, final FROM states$b$, 'ID', 'id');

-- Documents
SELECT pg_temp.l('документы', 'Документы', ':ID, :FILTER, :ORDER',
  '"ID" int, "TYPEID" int, "TYPENAME" varchar(60), "NUM" varchar(20), "DOCDATE" date, "ORGID" int, "ORGNAME" varchar(150), "WAREHOUSEID" int, "BASEID" int, "STATEID" int, "STATENAME" varchar(60), "SUMMA" numeric(15,2), "VAT" numeric(15,2), "NOTE" varchar(500)',
  $b$SELECT d.id, d.typeid, t.name AS typename, d.num, d.docdate, d.orgid, o.name AS orgname,
            d.warehouseid, d.baseid, d.stateid, s.name AS statename, d.summa, d.vat, d.note
     FROM documents d JOIN doctypes t ON t.id = d.typeid JOIN orgs o ON o.id = d.orgid
     JOIN states s ON s.id = d.stateid$b$, 'ID', 'docdate, id', 'sp_documents');
SELECT pg_temp.l('документ_строки', 'Строки документа', ':ID, :DOCID, :FILTER, :ORDER',
  '"ID" int, "DOCID" int, "LINENO" int, "GOODID" int, "GOODNAME" varchar(150), "UNITNAME" varchar(20), "QTY" numeric(15,3), "PRICE" numeric(15,2), "SUMMA" numeric(15,2), "VAT" numeric(15,2)',
  $b$SELECT l.id, l.docid, l.lineno, l.goodid, g.name AS goodname, u.name AS unitname, l.qty,
            l.price, l.summa, l.vat
     FROM lines l JOIN goods g ON g.id = l.goodid JOIN units u ON u.id = g.unitid
     WHERE $2 IS NULL OR l.docid = $2$b$, 'ID', 'docid, lineno', 'sp_lines');
SELECT pg_temp.l('фп_карточки', 'Карточки документов', ':ID, :REGID, :FILTER, :ORDER',
  '"ID" int, "DOCTYPEID" int, "NUM" varchar(20), "DOCDATE" date, "ORGNAME" varchar(150), "STATENAME" varchar(60), "SUMMA" numeric(15,2), "VIEWFLAG" boolean',
  $b$SELECT d.id, d.typeid AS doctypeid, d.num, d.docdate, o.name AS orgname, s.name AS statename,
            d.summa, d.viewed AS viewflag
     FROM documents d JOIN orgs o ON o.id = d.orgid JOIN states s ON s.id = d.stateid
     WHERE $2 IS NULL OR d.typeid = $2$b$, 'ID', 'docdate, id');
SELECT pg_temp.l('фп_реестры', 'Реестры документов', ':ID, NULL, :FILTER, :ORDER',
  '"ID" int, "NAME" varchar(60), "DOCCOUNT" int, "SUMMA" numeric(15,2)',
  $b$SELECT t.id, t.name, count(d.id)::int AS doccount, coalesce(sum(d.summa), 0) AS summa
     FROM doctypes t LEFT JOIN documents d ON d.typeid = t.id GROUP BY t.id, t.name$b$, 'ID', 'id');
SELECT pg_temp.l('карточка_состояния', 'Состояния документа', ':ID, :FOLDERBASEID, :FILTER, :ORDER',
  '"ID" int, "BASEID" int, "STATEID" int, "NAME" varchar(60), "CHANGED" timestamp, "USERNAME" varchar(100), "ENDDATE" date',
  $b$SELECT h.id, h.docid AS baseid, h.stateid, s.name, h.changed, u.fullname AS username, h.enddate
     FROM docstates h JOIN states s ON s.id = h.stateid LEFT JOIN users_v u ON u.id = h.uid
     WHERE h.docid = $1$b$, NULL, 'changed, id');
SELECT pg_temp.l('карточка_резолюции', 'Резолюции', ':ID, :FOLDERBASEID, :FILTER, :ORDER',
  '"ID" int, "DOCID" int, "STATEID" int, "TYPEID" int, "SENDER" int, "SENDERNAME" varchar(100), "TEXT" varchar(500), "CREATED" timestamp, "DONE" boolean',
  $b$SELECT r.id, r.docid, r.stateid, r.typeid, r.sender, u.fullname AS sendername, r.text,
            r.created, r.done
     FROM resolutions r JOIN docstates h ON h.docid = r.docid AND h.id = $1
     LEFT JOIN users_v u ON u.id = r.sender$b$, NULL, 'created, id', 'sp_resolutions');
SELECT pg_temp.l('карточка_резолюции_с', 'Следующие резолюции', ':ID, :FOLDERBASEID, :FILTER, :ORDER',
  '"ID" int, "SENDER" int, "TYPEID" int, "STATETYPEID" int, "DOCTYPEID" int, "NAME" varchar(60)',
  $b$SELECT s.id, orv_uid() AS sender, 1 AS typeid, s.id AS statetypeid, d.typeid AS doctypeid, s.name
     FROM docstates h JOIN documents d ON d.id = h.docid JOIN states s ON s.id > d.stateid
     WHERE h.id = $1$b$, NULL, 'id');
SELECT pg_temp.l('письмо', 'Письма', ':ID, :FOLDERBASEID, :FILTER, :ORDER',
  '"ID" int, "DOCTYPEID" int, "KIND" int, "NAME" varchar(100), "IMAGE" bytea',
  $b$SELECT l.id, l.doctypeid, l.kind, l.name, l.image
     FROM docstates h JOIN documents d ON d.id = h.docid JOIN letters l ON l.doctypeid = d.typeid
     WHERE h.id = $1$b$, NULL, 'id');
SELECT pg_temp.l('карточка_приложения', 'Приложения', ':BASEID, :FILTER, :ORDER',
  '"ID" int, "TYPENAME" varchar(60), "NUM" varchar(20), "DOCDATE" date, "SUMMA" numeric(15,2)',
  $b$SELECT d.id, t.name AS typename, d.num, d.docdate, d.summa
     FROM documents d JOIN doctypes t ON t.id = d.typeid WHERE d.baseid = $1$b$, NULL, 'docdate, id');
SELECT pg_temp.l('фп_документфайл', 'Файлы документа', ':ID, :DOCTYPEID',
  '"ID" int, "DOCID" int, "DOCTYPEID" int, "FILEPATH" varchar(255), "NAME" varchar(150)',
  $b$SELECT f.id, f.docid, f.doctypeid, f.filepath, f.name FROM docfiles f
     WHERE f.docid = $1 AND ($2 IS NULL OR f.doctypeid = $2)$b$, NULL, 'id');
SELECT pg_temp.l('фп_сост_окончания', 'Сроки состояний', ':BASEID, :FILTER, :ORDER',
  '"ID" int, "BASEID" int, "STATEID" int, "NAME" varchar(60), "ENDDATE" date',
  $b$SELECT h.id, h.docid AS baseid, h.stateid, s.name, h.enddate
     FROM docstates h JOIN states s ON s.id = h.stateid WHERE h.docid = $1$b$, NULL, 'id');
SELECT pg_temp.l('фп_расч_регламент', 'Расчёт регламента', ':BASEID',
  '"ID" int, "STATEID" int, "NAME" varchar(60), "PLANDATE" date',
  $b$SELECT s.id, s.id AS stateid, s.name, d.docdate + 5 * s.id AS plandate
     FROM documents d CROSS JOIN states s WHERE d.id = $1$b$, NULL, 'id');
SELECT pg_temp.l('фп_перечень_предков', 'Документы-основания', ':BASEID, :FILTER, :ORDER',
  '"INDOC" int, "LEVEL" int, "TYPENAME" varchar(60), "NUM" varchar(20), "DOCDATE" date',
  $b$WITH RECURSIVE up(id, baseid, level, seen) AS (
       SELECT d.id, d.baseid, 0, ARRAY[d.id] FROM documents d WHERE d.id = $1
       UNION ALL
       SELECT d.id, d.baseid, up.level + 1, up.seen || d.id
       FROM up JOIN documents d ON d.id = up.baseid WHERE NOT d.id = ANY (up.seen))
     SELECT up.id AS indoc, up.level, t.name AS typename, d.num, d.docdate
     FROM up JOIN documents d ON d.id = up.id JOIN doctypes t ON t.id = d.typeid
     WHERE up.level > 0$b$, NULL, 'level');
SELECT pg_temp.l('фп_ссылки', 'Ссылки на объект', ':BASEID, null, :FILTER, :ORDER',
  '"ID" int, "PARENTID" int, "TYPEID" int, "NAME" varchar(150)',
  $b$SELECT d.id, t.id AS parentid, d.typeid, (t.name || ' № ' || d.num || ' от ' || to_char(d.docdate, 'DD.MM.YYYY'))::text AS name
     FROM documents d JOIN doctypes t ON t.id = d.typeid
     WHERE d.baseid = $1 OR d.orgid = $1$b$, NULL, 'id');
SELECT pg_temp.l('фп_планпост_рез', 'Оплата счетов', ':ID, :FILTER, :ORDER',
  '"ID" int, "NUM" varchar(20), "DOCDATE" date, "ORGNAME" varchar(150), "SUMMA" numeric(15,2), "PAID" numeric(15,2), "REST" numeric(15,2)',
  $b$SELECT d.id, d.num, d.docdate, o.name AS orgname, d.summa,
            coalesce(p.paid, 0) AS paid, d.summa - coalesce(p.paid, 0) AS rest
     FROM documents d JOIN orgs o ON o.id = d.orgid
     LEFT JOIN (SELECT baseid, sum(summa) AS paid FROM documents WHERE typeid = 3 GROUP BY baseid) p
       ON p.baseid = d.id
     WHERE d.typeid = 1$b$, 'ID', 'docdate, id');
SELECT pg_temp.l('сеанс', 'Дата сеанса', '',
  '"UID" int, "SPDATE" date',
  $b$SELECT u.id AS uid, s.spdate FROM users_v u LEFT JOIN sessions s ON s.uid = u.id
     WHERE u.id = orv_uid()$b$, NULL, NULL, 'sp_session');

-- Tree
SELECT pg_temp.l('дерево_элемент', 'Элемент дерева', ':Ident, :FILTER, :TOP, :ID',
  '"ID" int, "PARENTID" int, "BASEID" int, "TYPEID" int, "NAME" varchar(150), "OBJLISTID" varchar(60), "SCRIPTID" varchar(100), "PANELSCRIPTID" varchar(100), "DA" boolean, "EA" boolean, "IA" boolean',
  $b$SELECT i.id, i.parentid, i.baseid, i.typeid, i.name,
            coalesce(i.objlistid, t.objlistid) AS objlistid, coalesce(i.scriptid, t.scriptid) AS scriptid,
            coalesce(i.panelscriptid, t.panelscriptid) AS panelscriptid,
            orv_allowed(i.id, -9997526) AS da, orv_allowed(i.id, -9997526) AS ea,
            orv_allowed(i.id, -9997526) AS ia
     FROM items i JOIN itemtypes t ON t.id = i.typeid
     WHERE ($3 IS NULL OR i.id IN (SELECT d.id FROM orv_descendants($3) d))
       AND ($4 IS NULL OR $4 = 0 OR i.id = $4)
       AND orv_allowed(i.id, -9997521)$b$, 'ID', 'name, id', 'sp_items');
UPDATE list_defs SET keyparam = 'ident' WHERE listid = 'дерево_элемент';
SELECT pg_temp.l('дерево_потомки', 'Потомки', ':Ident',
  '"ID" int, "PARENTID" int, "TYPEID" int, "NAME" varchar(150), "HASCHILDREN" boolean, "ORDNO" int',
  $b$SELECT i.id, i.parentid, i.typeid, i.name,
            EXISTS (SELECT 1 FROM items c WHERE c.parentid = i.id) AS haschildren, i.ordno
     FROM items i
     WHERE i.parentid = $1 AND i.typeid > 0 AND orv_allowed(i.id, -9997521)$b$, NULL, 'ordno, name');
SELECT pg_temp.l('дерево_путь', 'Путь к элементу', ':Root, :Ident',
  '"ID" int, "PARENTID" int, "NAME" varchar(150), "LEVEL" int',
  $b$SELECT i.id, i.parentid, i.name, (max(a.depth) OVER () - a.depth)::int AS level
     FROM orv_ancestors($2) a JOIN items i ON i.id = a.itemid
     WHERE $1 IS NULL OR a.depth <= (SELECT r.depth FROM orv_ancestors($2) r WHERE r.itemid = $1)$b$,
  NULL, 'level');
SELECT pg_temp.l('дерево_корни', 'Корни дерева', ':Root',
  '"ID" int, "NAME" varchar(150), "TYPEID" int',
  $b$SELECT i.id, i.name, i.typeid FROM items i
     WHERE i.parentid IS NULL AND i.typeid > 0 AND orv_allowed(i.id, -9997521)$b$, 'ID', 'id');
UPDATE list_defs SET keyparam = 'root' WHERE listid = 'дерево_корни';
SELECT pg_temp.l('типы_потомков', 'Типы потомков', ':PARENTID',
  '"ID" int, "NAME" varchar(60)',
  $b$SELECT t.id, t.name FROM items i JOIN itemtype_children c ON c.parenttypeid = i.typeid
     JOIN itemtypes t ON t.id = c.childtypeid WHERE i.id = $1$b$, NULL, 'id');
SELECT pg_temp.l('дерево_параметры', 'Параметры элемента', ':ID, NULL, :FILTER, :ORDER',
  '"ID" int, "BASEID" int, "ROOTID" varchar(60), "VSTRING" varchar(255), "VINTEGER" int, "VDATE" date, "REF_NAME" varchar(150)',
  $b$SELECT p.id, p.baseid, p.rootid, p.vstring, p.vinteger, p.vdate, o.name AS ref_name
     FROM itemparams p LEFT JOIN orgs o ON o.id = p.refid WHERE p.baseid = $1$b$, NULL, 'rootid');
SELECT pg_temp.l('фп_компоненты', 'Компоненты', ':ID, NULL, :FILTER, :ORDER',
  '"ID" int, "NAME" varchar(100), "CLSNAME" varchar(60)',
  $b$SELECT id, name, clsname FROM components$b$, 'ID', 'name');
SELECT pg_temp.l('фп_элементы', 'Тексты компонентов', ':ID, :FILTER, :ORDER',
  '"ID" int, "NAME" varchar(100), "TEXT" text',
  $b$SELECT id, name, text FROM components$b$, 'ID', 'name');

-- Access
SELECT pg_temp.l('доступ_пользователи', 'Пользователи', ':ID, :FILTER, :ORDER',
  '"UID" int, "NAME" varchar(60), "FULLNAME" varchar(100)',
  $b$SELECT id AS uid, name, fullname FROM users_v$b$, 'UID', 'name');
SELECT pg_temp.l('доступ_операции_н', 'Операции', ':TRID, :UID, :FORMID, :FILTER',
  '"TYPEID" int, "NAME" varchar(100), "ID" int, "ITEMID" int, "UID" int, "ALLOWED" boolean, "CHILD" boolean, "SET" boolean',
  $b$SELECT t.id AS typeid, t.name, g.id, $1 AS itemid, $2 AS uid,
            coalesce(g.allowed, orv_allowed($1, t.id, $2)) AS allowed,
            coalesce(g.child, t.child) AS child, g.id IS NOT NULL AS set
     FROM acc_types t
     LEFT JOIN acc_rights g ON g.itemid = $1 AND g.typeid = t.id AND g.uid = $2
       AND g.formid = greatest(coalesce($3, 0), 0) AND g.objid = 0
     WHERE t.id > -300000 OR t.id < -399999$b$, NULL, 'typeid', 'sp_acc_rights');
UPDATE list_defs SET extra = 'p_mode int DEFAULT 0' WHERE listid = 'доступ_операции_н';
SELECT pg_temp.l('доступ_операция_н', 'Права установлены для', ':PARENTID, :TYPEID, :FORMID, :FILTER, :ORDER',
  '"PARENTID" int, "TYPEID" int, "SENDER" int, "NAME" varchar(100), "ITEMNAME" varchar(150), "ALLOWED" boolean, "CHILD" boolean',
  $b$SELECT $1 AS parentid, g.typeid, g.uid AS sender, u.fullname AS name, i.name AS itemname,
            g.allowed, g.child
     FROM orv_ancestors($1) a JOIN acc_rights g ON g.itemid = a.itemid AND (a.depth = 0 OR g.child)
     JOIN items i ON i.id = g.itemid JOIN users_v u ON u.id = g.uid
     WHERE g.typeid = $2 AND g.formid = greatest(coalesce($3, 0), 0)$b$, NULL, 'name');
SELECT pg_temp.l('доступ_операция', 'Права на операцию', ':PARENTID, :TYPEID, :FILTER, :ORDER',
  '"PARENTID" int, "TYPEID" int, "SENDER" int, "NAME" varchar(100), "ITEMNAME" varchar(150), "ALLOWED" boolean, "CHILD" boolean',
  $b$SELECT $1 AS parentid, g.typeid, g.uid AS sender, u.fullname AS name, i.name AS itemname,
            g.allowed, g.child
     FROM orv_ancestors($1) a JOIN acc_rights g ON g.itemid = a.itemid AND (a.depth = 0 OR g.child)
     JOIN items i ON i.id = g.itemid JOIN users_v u ON u.id = g.uid
     WHERE g.typeid = $2$b$, NULL, 'name');
SELECT pg_temp.l('дерево_корни_доступ', 'Корни дерева доступа', ':Root',
  '"ID" int, "NAME" varchar(150), "TYPEID" int',
  $b$SELECT i.id, i.name, i.typeid FROM items i WHERE i.parentid IS NULL$b$, 'ID', 'id');
UPDATE list_defs SET keyparam = 'root' WHERE listid = 'дерево_корни_доступ';
SELECT pg_temp.l('дерево_потомки_дост', 'Потомки (доступ)', ':Ident',
  '"ID" int, "PARENTID" int, "TYPEID" int, "NAME" varchar(150), "HASCHILDREN" boolean, "ORDNO" int',
  $b$SELECT i.id, i.parentid, i.typeid, i.name,
            EXISTS (SELECT 1 FROM items c WHERE c.parentid = i.id) AS haschildren, i.ordno
     FROM items i WHERE i.parentid = $1$b$, NULL, 'ordno, name');
SELECT pg_temp.l('доступ_элементы', 'Права пользователя', ':FILTER, :ORDER',
  '"FORMID" int, "TYPEID" int, "ALLOWED" boolean, "ID" int, "PARENTID" int, "OBJID" int, "NAME" varchar(150)',
  $b$SELECT g.formid, g.typeid, g.allowed, g.itemid AS id, coalesce(i.parentid, 0) AS parentid,
            g.objid, i.name
     FROM acc_rights g JOIN items i ON i.id = g.itemid WHERE g.uid = orv_uid()$b$, NULL, 'id, typeid');
SELECT pg_temp.l('фп_справочник', 'Элементы доступа', ':ID, :FILTER, :ORDER',
  '"ID" int, "PARENTID" int, "TYPEID" int, "NAME" varchar(150)',
  $b$SELECT id, parentid, typeid, name FROM items WHERE typeid BETWEEN -300999 AND -300000$b$, 'ID', 'name');

-- Texts and reports
SELECT pg_temp.l('поле_текст', 'Тексты', ':BASEID, :TYPEID',
  '"ID" int, "BASEID" int, "TYPEID" int, "TEXT" text',
  $b$SELECT id, baseid, typeid, text FROM texts WHERE baseid = $1 AND ($2 IS NULL OR typeid = $2)$b$,
  NULL, 'typeid', 'sp_texts');
SELECT pg_temp.l('отчет_к', 'Отчёты объекта', 'NULL, :BASEID, :SPBASEID',
  '"ID" int, "BASEID" int, "NAME" varchar(100), "FILENAME" varchar(100), "KIND" varchar(10)',
  $b$SELECT r.id, r.baseid, r.name, r.filename, r.kind FROM reports r
     WHERE r.baseid IN (SELECT a.itemid FROM orv_ancestors(coalesce($2, $3)) a)$b$, NULL, 'name');
SELECT pg_temp.l('фп_отчеты', 'Отчёты', 'NULL, :BASEID, NULL, NULL, NULL',
  '"ID" int, "BASEID" int, "NAME" varchar(100), "FILENAME" varchar(100), "KIND" varchar(10)',
  $b$SELECT id, baseid, name, filename, kind FROM reports WHERE $2 IS NULL OR baseid = $2$b$, NULL, 'name');

-- Metadata
SELECT pg_temp.l('фп_списки', 'Списки', ':ROOTID, :FILTER, :ORDER',
  '"ROOTID" varchar(60), "NAME" varchar(200), "OBJECTNAME" varchar(255), "ALIASID" varchar(40), "PRIMARYFIELDS" varchar(100)',
  $b$SELECT rootid, name, objectname, aliasid, primaryfields FROM setup_lists$b$, 'ROOTID', 'rootid');
UPDATE list_defs SET keyparam = 'rootid' WHERE listid = 'фп_списки';
SELECT pg_temp.l('рп_списки', 'Списки для отчётов', ':ROOTID, :FILTER, :ORDER',
  '"ROOTID" varchar(60), "NAME" varchar(200), "OBJECTNAME" varchar(255), "ALIASID" varchar(40), "PRIMARYFIELDS" varchar(100)',
  $b$SELECT rootid, name, objectname, aliasid, primaryfields FROM setup_lists
     WHERE rootid LIKE 'справочник%' OR rootid LIKE 'документ%'$b$, 'ROOTID', 'rootid');
UPDATE list_defs SET keyparam = 'rootid' WHERE listid = 'рп_списки';
SELECT pg_temp.l('поле_по_тэгу', 'Поле по тэгу', ':ROOTID, :TAG, :PROC, :NUMBER',
  '"FIELDNAME" varchar(60), "PARMNAME" varchar(60)',
  $b$SELECT f.fieldname,
            upper((SELECT p.proargnames[$4] FROM pg_proc p
                   WHERE p.proname = lower($3) AND p.pronamespace = 'public'::regnamespace LIMIT 1)) AS parmname
     FROM setup_listfld f WHERE f.rootid = $1::citext AND f.tag = $2$b$, NULL, NULL);
SELECT pg_temp.l('фп_гриднастройки', 'Настройки таблиц', ':ID, :USERFLAG, :FILTER, :ORDER, :ROOTID',
  '"ID" int, "UserFlag" int, "NAME" varchar(100), "ROOTID" varchar(60)',
  $b$SELECT s.id, s.userflag, s.name, s.rootid FROM gridsetups s
     WHERE (s.uid IS NULL OR s.uid = orv_uid()) AND ($5 IS NULL OR s.rootid = $5::citext)
       AND ($2 IS NULL OR s.userflag = $2) AND ($1 IS NULL OR $1 <= 0 OR s.id = $1)$b$,
  NULL, 'id', 'sp_gridsetups');
UPDATE list_defs SET proc = 'fp_gridsetups' WHERE listid = 'фп_гриднастройки';

-- Descendants of an item (the item first); stops at a cycle.
CREATE FUNCTION orv_descendants(id int) RETURNS TABLE (id int)
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  WITH RECURSIVE down(id, seen) AS (
    SELECT i.id, ARRAY[i.id] FROM items i WHERE i.id = $1
    UNION ALL
    SELECT i.id, down.seen || i.id FROM down JOIN items i ON i.parentid = down.id
    WHERE NOT i.id = ANY (down.seen))
  SELECT id FROM down
$$;

SELECT orv_make_list(d) FROM list_defs d ORDER BY listid;
