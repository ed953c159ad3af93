-- Directories and documents. Base-table columns are unquoted; searchable texts are rtext.

CREATE TABLE units (
  id int PRIMARY KEY,
  name rtext NOT NULL CHECK (length(name) <= 20),
  okei varchar(3) NOT NULL
);

CREATE TABLE warehouses (
  id int PRIMARY KEY,
  name rtext NOT NULL CHECK (length(name) <= 100),
  address varchar(200)
);

CREATE TABLE orgs (
  id int PRIMARY KEY DEFAULT orv_next_id(),
  name rtext NOT NULL CHECK (length(name) <= 150),
  inn varchar(12) CHECK (inn ~ '^([0-9]{10}|[0-9]{12})$'),
  kpp varchar(9) CHECK (kpp ~ '^[0-9]{9}$'),
  address rtext CHECK (length(address) <= 200),
  phone varchar(30),
  note rtext CHECK (length(note) <= 500)
);
CREATE INDEX orgs_name ON orgs (name);
CREATE INDEX orgs_inn ON orgs (inn);

CREATE TABLE goods (
  id int PRIMARY KEY DEFAULT orv_next_id(),
  name rtext NOT NULL CHECK (length(name) <= 150),
  article varchar(20),
  unitid int NOT NULL REFERENCES units,
  price numeric(15, 2) NOT NULL DEFAULT 0 CHECK (price >= 0),
  vatrate numeric(5, 2) NOT NULL DEFAULT 20
);
CREATE INDEX goods_name ON goods (name);

CREATE TABLE doctypes (
  id int PRIMARY KEY,
  name rtext NOT NULL,
  haslines boolean NOT NULL,   -- a document of this type past draft must have lines
  itemid int NOT NULL,         -- the tree item whose rights rule documents of this type
  prefix varchar(5) NOT NULL
);

CREATE TABLE states (
  id int PRIMARY KEY,
  name rtext NOT NULL,
  final boolean NOT NULL DEFAULT false
);

CREATE TABLE documents (
  id int PRIMARY KEY DEFAULT orv_next_id(),
  typeid int NOT NULL REFERENCES doctypes,
  num varchar(20) NOT NULL,
  docdate date NOT NULL,
  orgid int NOT NULL REFERENCES orgs,
  warehouseid int REFERENCES warehouses,
  baseid int REFERENCES documents,       -- the contract or invoice it follows
  stateid int NOT NULL DEFAULT 1 REFERENCES states,
  summa numeric(15, 2) NOT NULL DEFAULT 0,
  vat numeric(15, 2) NOT NULL DEFAULT 0,
  note rtext CHECK (length(note) <= 500),
  viewed boolean NOT NULL DEFAULT false,
  letter bytea                           -- zlib text of the letter template
);
CREATE INDEX documents_date ON documents (docdate);
CREATE INDEX documents_org ON documents (orgid);
CREATE INDEX documents_base ON documents (baseid);
CREATE INDEX documents_num ON documents (num);

CREATE TABLE lines (
  id int PRIMARY KEY DEFAULT orv_next_id(),
  docid int NOT NULL REFERENCES documents ON DELETE CASCADE,
  lineno int NOT NULL,
  goodid int NOT NULL REFERENCES goods,
  qty numeric(15, 3) NOT NULL,
  price numeric(15, 2) NOT NULL,
  summa numeric(15, 2) NOT NULL,
  vat numeric(15, 2) NOT NULL,
  UNIQUE (docid, lineno)
);
CREATE INDEX lines_good ON lines (goodid);

-- State history: every change of a document's state, with who and when.
CREATE TABLE docstates (
  id int PRIMARY KEY DEFAULT orv_next_id(),
  docid int NOT NULL REFERENCES documents ON DELETE CASCADE,
  stateid int NOT NULL REFERENCES states,
  changed timestamp NOT NULL,
  uid int REFERENCES users,
  enddate date                            -- when the state is due to end
);
CREATE INDEX docstates_doc ON docstates (docid);

CREATE TABLE resolutions (
  id int PRIMARY KEY DEFAULT orv_next_id(),
  docid int NOT NULL REFERENCES documents ON DELETE CASCADE,
  stateid int REFERENCES states,           -- the state the resolution leads to
  typeid int NOT NULL DEFAULT 1,
  sender int REFERENCES users,
  text rtext NOT NULL CHECK (length(text) <= 500),
  created timestamp NOT NULL,
  done boolean NOT NULL DEFAULT false
);
CREATE INDEX resolutions_doc ON resolutions (docid);

-- Attached files of a document.
CREATE TABLE docfiles (
  id int PRIMARY KEY DEFAULT orv_next_id(),
  docid int NOT NULL REFERENCES documents ON DELETE CASCADE,
  doctypeid int,
  filepath varchar(255) NOT NULL,
  name rtext NOT NULL
);

-- The session date a user works on instead of today (NULL: today).
CREATE TABLE sessions (
  uid int PRIMARY KEY REFERENCES users,
  spdate date
);

-- A document past draft must have lines when its type has lines. Checked at COMMIT, so a
-- document and its lines may be written in any order inside one transaction.
CREATE FUNCTION documents_have_lines() RETURNS trigger
LANGUAGE plpgsql AS $$
DECLARE
  d int;
BEGIN
  IF TG_TABLE_NAME = 'lines' THEN d := OLD.docid; ELSE d := NEW.id; END IF;
  IF EXISTS (SELECT 1 FROM documents x JOIN doctypes t ON t.id = x.typeid
             WHERE x.id = d AND x.stateid <> 1 AND t.haslines
               AND NOT EXISTS (SELECT 1 FROM lines l WHERE l.docid = x.id)) THEN
    RAISE EXCEPTION 'Документ % (не черновик) должен иметь строки', d
      USING ERRCODE = '23514', CONSTRAINT = 'documents_have_lines';
  END IF;
  RETURN NULL;
END $$;
CREATE CONSTRAINT TRIGGER documents_have_lines AFTER INSERT OR UPDATE OF stateid, typeid ON documents
  DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE FUNCTION documents_have_lines();
CREATE CONSTRAINT TRIGGER lines_keep_document AFTER DELETE OR UPDATE OF docid ON lines
  DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE FUNCTION documents_have_lines();

GRANT SELECT ON units, warehouses, orgs, goods, doctypes, states, documents, lines, docstates,
  resolutions, docfiles, sessions TO orv_reader;

-- Documents of a type whose tree item the user may not view are not there for the user:
-- the lists run with the caller's rights, so the rule sits on the table. The owner's
-- procedures see every row.
CREATE FUNCTION orv_visible_doctypes() RETURNS int[]
LANGUAGE sql STABLE PARALLEL SAFE SECURITY DEFINER SET search_path = pg_catalog, public AS $$
  SELECT coalesce(array_agg(id), '{}') FROM doctypes WHERE orv_allowed(itemid, -9997521)
$$;
ALTER TABLE documents ENABLE ROW LEVEL SECURITY;
CREATE POLICY documents_visible ON documents FOR SELECT TO orv_reader
  -- An init plan: computed once per query, and parallel plans stay possible.
  USING (typeid = ANY (ARRAY(SELECT unnest(orv_visible_doctypes()))));
