-- Procedures the screens call directly, and the update procedures that the lists' INSERTSQL,
-- MODIFYSQL and DELETESQL name. Update procedures run as the owner with a fixed search_path,
-- check the caller's rights first and answer one row with "ID".

CREATE TYPE t_id AS ("ID" int);

CREATE TYPE t_fp_gridsetupitemcs AS ("TYPEID" int, "VAL" varchar(100));
CREATE FUNCTION fp_gridsetupitemcs(id int) RETURNS SETOF t_fp_gridsetupitemcs
LANGUAGE sql STABLE SET search_path = pg_catalog, public AS $$
  SELECT c.typeid, c.val FROM gridsetupitemcs c WHERE c.setupid = $1 ORDER BY c.typeid
$$;

CREATE TYPE t_fp_gridsetupfields AS ("ROOTID" varchar(60), "FIELDINDEX" int, "FIELDVISIBLE" int,
  "FIELDPROPERTYVISIBLE" int, "FIELDCOLUMNWIDTH" int);
CREATE FUNCTION fp_gridsetupfields(id int) RETURNS SETOF t_fp_gridsetupfields
LANGUAGE sql STABLE SET search_path = pg_catalog, public AS $$
  SELECT f.rootid, f.fieldindex, f.fieldvisible, f.fieldpropertyvisible, f.fieldcolumnwidth
  FROM gridsetupfields f WHERE f.setupid = $1 ORDER BY f.fieldindex
$$;

CREATE TYPE t_fp_gridsetupbid AS ("BASEID" int);
CREATE FUNCTION fp_gridsetupbid(id int) RETURNS SETOF t_fp_gridsetupbid
LANGUAGE sql STABLE SET search_path = pg_catalog, public AS $$
  SELECT coalesce(i.baseid, i.typeid) FROM items i WHERE i.id = $1
$$;

-- The tree item whose rights rule a document.
CREATE FUNCTION orv_doc_item(docid int) RETURNS int
LANGUAGE sql STABLE AS $$
  SELECT t.itemid FROM documents d JOIN doctypes t ON t.id = d.typeid WHERE d.id = $1
$$;

CREATE TYPE t_fp_documents AS ("ID" int, "NAME" varchar(100), "IMAGE" bytea);
-- The letter template of a document type (zlib text).
CREATE FUNCTION fp_documents(doctypeid int, kind int) RETURNS SETOF t_fp_documents
LANGUAGE sql STABLE SET search_path = pg_catalog, public AS $$
  SELECT l.id, l.name, l.image FROM letters l WHERE l.doctypeid = $1 AND l.kind = $2
$$;

CREATE TYPE t_fp_testviewdoc AS ("ID" int, "VIEWFLAG" boolean);
CREATE FUNCTION fp_testviewdoc(baseid int) RETURNS SETOF t_fp_testviewdoc
LANGUAGE sql STABLE SET search_path = pg_catalog, public AS $$
  SELECT d.id, d.viewed FROM documents d WHERE d.id = $1
$$;

CREATE FUNCTION fp_setviewflag(baseid int) RETURNS SETOF t_id
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  PERFORM orv_require(orv_doc_item(fp_setviewflag.baseid), -9997521);
  UPDATE documents d SET viewed = true WHERE d.id = fp_setviewflag.baseid;
  IF NOT FOUND THEN RAISE EXCEPTION 'Документ % не найден', baseid USING ERRCODE = 'P0002'; END IF;
  RETURN QUERY SELECT fp_setviewflag.baseid;
END $$;

-- Default recipients: a resolution for the next state, from the current user.
CREATE FUNCTION fp_cardevents_create(baseid int, statetypeid int, doctypeid int) RETURNS SETOF t_id
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE
  rid int;
BEGIN
  PERFORM orv_require((SELECT itemid FROM doctypes WHERE id = doctypeid), -9997526);
  INSERT INTO resolutions (docid, stateid, typeid, sender, text, created)
  VALUES (baseid, statetypeid, 1, orv_uid(),
          'Перевести в состояние "' || (SELECT name FROM states WHERE id = statetypeid) || '"',
          localtimestamp(0))
  RETURNING id INTO rid;
  RETURN QUERY SELECT rid;
END $$;

-- A referenced row cannot go: the caller hears which.
CREATE FUNCTION orv_in_use(what text) RETURNS void
LANGUAGE plpgsql AS $$
BEGIN
  RAISE EXCEPTION '% используется в других записях и не может быть удален(а)', what
    USING ERRCODE = '23503';
END $$;

-- Organisations (rights of tree item 110)
CREATE FUNCTION sp_orgs_i(id int, name text, inn text, kpp text, address text, phone text, note text)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE r int;
BEGIN
  PERFORM orv_require(110, -9997526);
  INSERT INTO orgs (id, name, inn, kpp, address, phone, note)
  VALUES (coalesce(nullif(sp_orgs_i.id, 0), orv_next_id()), name, inn, kpp, address, phone, note)
  RETURNING orgs.id INTO r;
  RETURN QUERY SELECT r;
END $$;
CREATE FUNCTION sp_orgs_u(old_id int, name text, inn text, kpp text, address text, phone text, note text)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  PERFORM orv_require(110, -9997526);
  UPDATE orgs o SET name = sp_orgs_u.name, inn = sp_orgs_u.inn, kpp = sp_orgs_u.kpp,
    address = sp_orgs_u.address, phone = sp_orgs_u.phone, note = sp_orgs_u.note
  WHERE o.id = old_id;
  IF NOT FOUND THEN RAISE EXCEPTION 'Организация % не найдена', old_id USING ERRCODE = 'P0002'; END IF;
  RETURN QUERY SELECT old_id;
END $$;
CREATE FUNCTION sp_orgs_d(old_id int)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  PERFORM orv_require(110, -9997526);
  DELETE FROM orgs WHERE id = old_id;
  RETURN QUERY SELECT old_id;
EXCEPTION WHEN foreign_key_violation THEN
  PERFORM orv_in_use('Организация ' || old_id);
END $$;

-- Goods (item 120)
CREATE FUNCTION sp_goods_i(id int, name text, article text, unitid int, price numeric, vatrate numeric)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE r int;
BEGIN
  PERFORM orv_require(120, -9997526);
  INSERT INTO goods (id, name, article, unitid, price, vatrate)
  VALUES (coalesce(nullif(sp_goods_i.id, 0), orv_next_id()), name, article, unitid,
          coalesce(price, 0), coalesce(vatrate, 20))
  RETURNING goods.id INTO r;
  RETURN QUERY SELECT r;
END $$;
CREATE FUNCTION sp_goods_u(old_id int, name text, article text, unitid int, price numeric, vatrate numeric)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  PERFORM orv_require(120, -9997526);
  UPDATE goods g SET name = sp_goods_u.name, article = sp_goods_u.article, unitid = sp_goods_u.unitid,
    price = coalesce(sp_goods_u.price, 0), vatrate = coalesce(sp_goods_u.vatrate, 20)
  WHERE g.id = old_id;
  IF NOT FOUND THEN RAISE EXCEPTION 'Товар % не найден', old_id USING ERRCODE = 'P0002'; END IF;
  RETURN QUERY SELECT old_id;
END $$;
CREATE FUNCTION sp_goods_d(old_id int)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  PERFORM orv_require(120, -9997526);
  DELETE FROM goods WHERE id = old_id;
  RETURN QUERY SELECT old_id;
EXCEPTION WHEN foreign_key_violation THEN
  PERFORM orv_in_use('Товар ' || old_id);
END $$;

-- Documents: rights of their type's tree item; a new number from counter 1.
CREATE FUNCTION sp_documents_i(id int, typeid int, num text, docdate date, orgid int,
  warehouseid int, baseid int, stateid int, note text)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE r int;
BEGIN
  PERFORM orv_require((SELECT itemid FROM doctypes WHERE doctypes.id = typeid), -9997526);
  INSERT INTO documents (id, typeid, num, docdate, orgid, warehouseid, baseid, stateid, note)
  VALUES (coalesce(nullif(sp_documents_i.id, 0), orv_next_id()), typeid,
          coalesce(nullif(num, ''), (SELECT prefix FROM doctypes WHERE doctypes.id = typeid)
                                     || '-' || nextval('counter_1')),
          coalesce(docdate, current_date), orgid, warehouseid, baseid, coalesce(stateid, 1), note)
  RETURNING documents.id INTO r;
  INSERT INTO docstates (docid, stateid, changed, uid)
  VALUES (r, coalesce(stateid, 1), localtimestamp(0), orv_uid());
  RETURN QUERY SELECT r;
END $$;
CREATE FUNCTION sp_documents_u(old_id int, typeid int, num text, docdate date, orgid int,
  warehouseid int, baseid int, stateid int, note text)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE
  before int;
BEGIN
  PERFORM orv_require(orv_doc_item(old_id), -9997526);
  PERFORM orv_require((SELECT itemid FROM doctypes WHERE doctypes.id = typeid), -9997526);
  SELECT d.stateid INTO before FROM documents d WHERE d.id = old_id FOR UPDATE;
  IF NOT FOUND THEN RAISE EXCEPTION 'Документ % не найден', old_id USING ERRCODE = 'P0002'; END IF;
  UPDATE documents d SET typeid = sp_documents_u.typeid, num = sp_documents_u.num,
    docdate = sp_documents_u.docdate, orgid = sp_documents_u.orgid,
    warehouseid = sp_documents_u.warehouseid, baseid = sp_documents_u.baseid,
    stateid = coalesce(sp_documents_u.stateid, before), note = sp_documents_u.note
  WHERE d.id = old_id;
  IF coalesce(stateid, before) <> before THEN
    INSERT INTO docstates (docid, stateid, changed, uid) VALUES (old_id, stateid, localtimestamp(0), orv_uid());
  END IF;
  RETURN QUERY SELECT old_id;
END $$;
CREATE FUNCTION sp_documents_d(old_id int)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  PERFORM orv_require(orv_doc_item(old_id), -9997526);
  DELETE FROM documents WHERE id = old_id;
  RETURN QUERY SELECT old_id;
EXCEPTION WHEN foreign_key_violation THEN
  PERFORM orv_in_use('Документ ' || old_id);
END $$;

-- Lines keep their document's totals.
CREATE FUNCTION orv_doc_totals(docid int) RETURNS void
LANGUAGE sql AS $$
  UPDATE documents d SET summa = coalesce(t.s, 0), vat = coalesce(t.v, 0)
  FROM (SELECT sum(summa) AS s, sum(vat) AS v FROM lines WHERE lines.docid = $1) t
  WHERE d.id = $1
$$;
CREATE FUNCTION sp_lines_i(id int, docid int, lineno int, goodid int, qty numeric, price numeric)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE r int;
BEGIN
  PERFORM orv_require(orv_doc_item(docid), -9997526);
  INSERT INTO lines (id, docid, lineno, goodid, qty, price, summa, vat)
  SELECT coalesce(nullif(sp_lines_i.id, 0), orv_next_id()), sp_lines_i.docid,
         coalesce(sp_lines_i.lineno, (SELECT coalesce(max(l.lineno), 0) + 1 FROM lines l WHERE l.docid = sp_lines_i.docid)),
         g.id, sp_lines_i.qty, coalesce(sp_lines_i.price, g.price),
         round(sp_lines_i.qty * coalesce(sp_lines_i.price, g.price), 2),
         round(sp_lines_i.qty * coalesce(sp_lines_i.price, g.price) * g.vatrate / 100, 2)
  FROM goods g WHERE g.id = sp_lines_i.goodid
  RETURNING lines.id INTO r;
  IF r IS NULL THEN RAISE EXCEPTION 'Товар % не найден', goodid USING ERRCODE = 'P0002'; END IF;
  PERFORM orv_doc_totals(docid);
  RETURN QUERY SELECT r;
END $$;
CREATE FUNCTION sp_lines_u(old_id int, docid int, lineno int, goodid int, qty numeric, price numeric)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE
  d int := (SELECT l.docid FROM lines l WHERE l.id = old_id);
BEGIN
  IF d IS NULL THEN RAISE EXCEPTION 'Строка % не найдена', old_id USING ERRCODE = 'P0002'; END IF;
  PERFORM orv_require(orv_doc_item(d), -9997526);
  UPDATE lines l SET lineno = coalesce(sp_lines_u.lineno, l.lineno), goodid = sp_lines_u.goodid,
    qty = sp_lines_u.qty, price = sp_lines_u.price, summa = round(sp_lines_u.qty * sp_lines_u.price, 2),
    vat = round(sp_lines_u.qty * sp_lines_u.price * g.vatrate / 100, 2)
  FROM goods g WHERE l.id = old_id AND g.id = sp_lines_u.goodid;
  PERFORM orv_doc_totals(d);
  RETURN QUERY SELECT old_id;
END $$;
CREATE FUNCTION sp_lines_d(old_id int)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE
  d int := (SELECT l.docid FROM lines l WHERE l.id = old_id);
BEGIN
  PERFORM orv_require(orv_doc_item(d), -9997526);
  DELETE FROM lines WHERE id = old_id;
  PERFORM orv_doc_totals(d);
  RETURN QUERY SELECT old_id;
END $$;

-- Resolutions
CREATE FUNCTION sp_resolutions_i(id int, docid int, stateid int, typeid int, sender int, text text)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE r int;
BEGIN
  PERFORM orv_require(orv_doc_item(docid), -9997526);
  INSERT INTO resolutions (id, docid, stateid, typeid, sender, text, created)
  VALUES (coalesce(nullif(sp_resolutions_i.id, 0), orv_next_id()), docid, stateid,
          coalesce(typeid, 1), coalesce(sender, orv_uid()), text, localtimestamp(0))
  RETURNING resolutions.id INTO r;
  RETURN QUERY SELECT r;
END $$;
CREATE FUNCTION sp_resolutions_u(old_id int, docid int, stateid int, typeid int, sender int, text text)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  PERFORM orv_require(orv_doc_item((SELECT r.docid FROM resolutions r WHERE r.id = old_id)), -9997526);
  UPDATE resolutions r SET stateid = sp_resolutions_u.stateid, typeid = coalesce(sp_resolutions_u.typeid, 1),
    text = sp_resolutions_u.text WHERE r.id = old_id;
  RETURN QUERY SELECT old_id;
END $$;
CREATE FUNCTION sp_resolutions_d(old_id int)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  PERFORM orv_require(orv_doc_item((SELECT r.docid FROM resolutions r WHERE r.id = old_id)), -9997526);
  DELETE FROM resolutions WHERE id = old_id;
  RETURN QUERY SELECT old_id;
END $$;

-- The session date is the user's own: no right needed.
CREATE FUNCTION sp_session_u(spdate date)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE u int := orv_uid();
BEGIN
  IF u IS NULL THEN RAISE EXCEPTION 'Пользователь не определен' USING ERRCODE = '42501'; END IF;
  INSERT INTO sessions (uid, spdate) VALUES (u, spdate)
  ON CONFLICT (uid) DO UPDATE SET spdate = excluded.spdate;
  RETURN QUERY SELECT u;
END $$;

-- Tree items
CREATE FUNCTION sp_items_i(id int, parentid int, typeid int, name text)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE r int;
BEGIN
  PERFORM orv_require(parentid, -9997526);
  INSERT INTO items (id, parentid, typeid, name, ordno)
  VALUES (coalesce(nullif(sp_items_i.id, 0), orv_next_id()), parentid, typeid, name,
          (SELECT coalesce(max(i.ordno), 0) + 1 FROM items i WHERE i.parentid = sp_items_i.parentid))
  RETURNING items.id INTO r;
  RETURN QUERY SELECT r;
END $$;
CREATE FUNCTION sp_items_u(old_id int, parentid int, typeid int, name text)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  PERFORM orv_require(old_id, -9997526);
  UPDATE items i SET name = sp_items_u.name, typeid = sp_items_u.typeid WHERE i.id = old_id;
  RETURN QUERY SELECT old_id;
END $$;
CREATE FUNCTION sp_items_d(old_id int)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  PERFORM orv_require(old_id, -9997526);
  DELETE FROM items WHERE id = old_id;
  RETURN QUERY SELECT old_id;
EXCEPTION WHEN foreign_key_violation THEN
  PERFORM orv_in_use('Элемент ' || old_id);
END $$;

-- Stored texts (jobs, reports): designers only.
CREATE FUNCTION orv_require_designer() RETURNS void
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  IF NOT coalesce((SELECT designer FROM users WHERE id = orv_uid()), false) THEN
    RAISE EXCEPTION 'Нет права изменять тексты' USING ERRCODE = '42501';
  END IF;
END $$;
CREATE FUNCTION sp_texts_i(id int, baseid int, typeid int, text text)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE r int;
BEGIN
  PERFORM orv_require_designer();
  INSERT INTO texts (id, baseid, typeid, text)
  VALUES (coalesce(nullif(sp_texts_i.id, 0), orv_next_id()), baseid, typeid, text)
  RETURNING texts.id INTO r;
  RETURN QUERY SELECT r;
END $$;
CREATE FUNCTION sp_texts_u(old_id int, baseid int, typeid int, text text)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  PERFORM orv_require_designer();
  UPDATE texts t SET text = sp_texts_u.text WHERE t.id = old_id;
  RETURN QUERY SELECT old_id;
END $$;
CREATE FUNCTION sp_texts_d(old_id int)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  PERFORM orv_require_designer();
  DELETE FROM texts WHERE id = old_id;
  RETURN QUERY SELECT old_id;
END $$;

-- Grid setups: a user's own, or everyone's for a designer.
CREATE FUNCTION sp_gridsetups_i(id int, userflag int, name text, rootid text)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE r int;
BEGIN
  INSERT INTO gridsetups (id, uid, rootid, name, userflag)
  VALUES (coalesce(nullif(sp_gridsetups_i.id, 0), orv_next_id()), orv_uid(), rootid, name, coalesce(userflag, 0))
  RETURNING gridsetups.id INTO r;
  RETURN QUERY SELECT r;
END $$;
CREATE FUNCTION sp_gridsetups_u(old_id int, userflag int, name text, rootid text)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  UPDATE gridsetups s SET name = sp_gridsetups_u.name, userflag = coalesce(sp_gridsetups_u.userflag, 0)
  WHERE s.id = old_id AND s.uid = orv_uid();
  IF NOT FOUND THEN RAISE EXCEPTION 'Настройка % не найдена', old_id USING ERRCODE = 'P0002'; END IF;
  RETURN QUERY SELECT old_id;
END $$;
CREATE FUNCTION sp_gridsetups_d(old_id int)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  DELETE FROM gridsetups s WHERE s.id = old_id AND s.uid = orv_uid();
  RETURN QUERY SELECT old_id;
END $$;

-- Rights, as the access screens edit them: only a user who may change the access node.
CREATE FUNCTION sp_acc_rights_i(id int, itemid int, typeid int, uid int, allowed boolean, child boolean)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE r int;
BEGIN
  PERFORM orv_require(-131, -9997526);
  INSERT INTO acc_rights (id, itemid, typeid, uid, allowed, child)
  VALUES (coalesce(nullif(sp_acc_rights_i.id, 0), orv_next_id()), itemid, typeid, uid,
          coalesce(allowed, true), coalesce(child, true))
  ON CONFLICT ON CONSTRAINT acc_rights_itemid_typeid_uid_formid_objid_key DO UPDATE
    SET allowed = excluded.allowed, child = excluded.child
  RETURNING acc_rights.id INTO r;
  RETURN QUERY SELECT r;
END $$;
CREATE FUNCTION sp_acc_rights_u(old_id int, itemid int, typeid int, uid int, allowed boolean, child boolean)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  IF old_id IS NULL THEN  -- a row shown without a grant gets its first one
    RETURN QUERY SELECT * FROM sp_acc_rights_i(NULL, itemid, typeid, uid, allowed, child);
    RETURN;
  END IF;
  PERFORM orv_require(-131, -9997526);
  UPDATE acc_rights g SET allowed = coalesce(sp_acc_rights_u.allowed, true),
    child = coalesce(sp_acc_rights_u.child, true) WHERE g.id = old_id;
  IF NOT FOUND THEN RAISE EXCEPTION 'Право % не найдено', old_id USING ERRCODE = 'P0002'; END IF;
  RETURN QUERY SELECT old_id;
END $$;
CREATE FUNCTION sp_acc_rights_d(old_id int)
RETURNS SETOF t_id LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  PERFORM orv_require(-131, -9997526);
  DELETE FROM acc_rights WHERE id = old_id;
  RETURN QUERY SELECT old_id;
END $$;
