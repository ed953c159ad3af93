-- The object tree (items), the objects that tree items stand for (nodes), and the rights
-- that the access screens edit.

-- Kinds of tree items; children allowed under each kind.
CREATE TABLE itemtypes (
  id int PRIMARY KEY,
  name rtext NOT NULL,
  objlistid varchar(60),        -- the list shown as an item's contents
  scriptid varchar(100),        -- the client script building the contents area
  panelscriptid varchar(100)
);
CREATE TABLE itemtype_children (
  parenttypeid int NOT NULL REFERENCES itemtypes,
  childtypeid int NOT NULL REFERENCES itemtypes,
  PRIMARY KEY (parenttypeid, childtypeid)
);

CREATE TABLE nodes (
  id int PRIMARY KEY,
  typeid int NOT NULL,          -- the class item of the object
  name rtext NOT NULL
);

CREATE TABLE items (
  id int PRIMARY KEY,
  parentid int REFERENCES items,            -- NULL: a root
  baseid int,                               -- the node or item this item stands for
  typeid int NOT NULL REFERENCES itemtypes,
  name rtext NOT NULL CHECK (length(name) <= 150),
  ordno int NOT NULL DEFAULT 0,
  objlistid varchar(60),                    -- overrides the type's
  scriptid varchar(100),
  panelscriptid varchar(100),
  CHECK (parentid IS DISTINCT FROM id)
);
CREATE INDEX items_parent ON items (parentid, ordno);
CREATE INDEX items_name ON items (name);

-- Operation types. Negative codes are the client's own (view, edit, control kinds).
CREATE TABLE acc_types (
  id int PRIMARY KEY,
  name rtext NOT NULL,
  child boolean NOT NULL DEFAULT false      -- always spread to descendants
);

-- A grant or denial of an operation on a tree item (and, unless the item's type keeps rights
-- to itself, its descendants) for a user; formid/objid name a control inside a form.
CREATE TABLE acc_rights (
  id int PRIMARY KEY DEFAULT orv_next_id(),
  itemid int NOT NULL REFERENCES items ON DELETE CASCADE,
  typeid int NOT NULL REFERENCES acc_types,
  uid int NOT NULL REFERENCES users,
  formid int NOT NULL DEFAULT 0,
  objid int NOT NULL DEFAULT 0,
  allowed boolean NOT NULL,
  child boolean NOT NULL DEFAULT true,      -- spread to descendants
  UNIQUE (itemid, typeid, uid, formid, objid)
);

GRANT SELECT ON itemtypes, itemtype_children, nodes, items, acc_types, acc_rights TO orv_reader;

-- Items from id up to its root, nearest first, with their depth; stops at a cycle.
CREATE FUNCTION orv_ancestors(id int) RETURNS TABLE (itemid int, depth int)
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  WITH RECURSIVE up(itemid, parentid, depth, seen) AS (
    SELECT i.id, i.parentid, 0, ARRAY[i.id] FROM items i WHERE i.id = $1
    UNION ALL
    SELECT i.id, i.parentid, up.depth + 1, up.seen || i.id
    FROM up JOIN items i ON i.id = up.parentid
    WHERE NOT i.id = ANY (up.seen)
  )
  SELECT itemid, depth FROM up
$$;

-- Whether the session's user may perform operation typeid on item: the nearest ruling grant
-- on the item or an ancestor (spread to descendants) decides; a system user may do everything;
-- without any grant, viewing is allowed and changing is not.
CREATE FUNCTION orv_allowed(item int, typeid int, uid int DEFAULT NULL) RETURNS boolean
LANGUAGE plpgsql STABLE PARALLEL SAFE SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE
  u int := coalesce(uid, orv_uid());
  r boolean;
BEGIN
  IF u IS NULL THEN RETURN false; END IF;
  IF (SELECT sysadmin FROM users WHERE id = u) THEN RETURN true; END IF;
  SELECT g.allowed INTO r
  FROM orv_ancestors(item) a
  JOIN acc_rights g ON g.itemid = a.itemid AND g.typeid = orv_allowed.typeid AND g.uid = u
    AND g.formid = 0 AND g.objid = 0 AND (a.depth = 0 OR g.child)
  ORDER BY a.depth, g.allowed  -- on one level a denial wins
  LIMIT 1;
  RETURN coalesce(r, typeid = -9997521);
END $$;

-- Raises unless the session's user may perform the operation.
CREATE FUNCTION orv_require(item int, typeid int) RETURNS void
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  IF NOT orv_allowed(item, typeid) THEN
    RAISE EXCEPTION 'Нет права "%" на "%"',
      (SELECT name FROM acc_types WHERE id = typeid), (SELECT name FROM items WHERE id = item)
      USING ERRCODE = '42501';
  END IF;
END $$;

CREATE TYPE t_sp_movetreeitem AS ("ID" int);

-- Moves item DRAG under item DROP; refuses a move under itself or a descendant.
CREATE FUNCTION sp_movetreeitem(drag int, "drop" int) RETURNS SETOF t_sp_movetreeitem
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  PERFORM orv_require(drag, -9997526);
  PERFORM orv_require("drop", -9997526);
  IF EXISTS (SELECT 1 FROM orv_ancestors("drop") WHERE itemid = drag) THEN
    RAISE EXCEPTION 'Элемент нельзя переместить внутрь самого себя' USING ERRCODE = '22023';
  END IF;
  UPDATE items SET parentid = "drop" WHERE id = drag;
  IF NOT FOUND THEN
    RAISE EXCEPTION 'Элемент % не найден', drag USING ERRCODE = 'P0002';
  END IF;
  RETURN QUERY SELECT drag;
END $$;
