-- Default parameters of tree items, component texts, stored texts and reports, grid setups.

CREATE TABLE itemparams (
  id int PRIMARY KEY DEFAULT orv_next_id(),
  baseid int NOT NULL REFERENCES items ON DELETE CASCADE,
  rootid rtext NOT NULL,
  vstring varchar(255),
  vinteger int,
  vdate date,
  refid int,
  UNIQUE (baseid, rootid)
);

-- Components of the component module: their class and their component text.
CREATE TABLE components (
  id int PRIMARY KEY,
  name rtext NOT NULL,
  clsname varchar(60) NOT NULL,
  text text NOT NULL
);

-- Stored texts of an object by type: 1 stored job script, 2 job schedule, 3 report text.
CREATE TABLE texts (
  id int PRIMARY KEY DEFAULT orv_next_id(),
  baseid int NOT NULL,
  typeid int NOT NULL,
  text text NOT NULL,
  UNIQUE (baseid, typeid)
);

CREATE TABLE reports (
  id int PRIMARY KEY,
  baseid int REFERENCES items,     -- the tree item the report belongs to
  name rtext NOT NULL,
  filename varchar(100) NOT NULL,
  kind varchar(10) NOT NULL        -- html, xls, ods, rtf, txt
);

-- Per-user grid setups: a setup of a list, its conditions and its field views.
CREATE TABLE gridsetups (
  id int PRIMARY KEY DEFAULT orv_next_id(),
  uid int REFERENCES users,         -- NULL: every user
  rootid rtext NOT NULL,            -- list id
  name varchar(100) NOT NULL,
  userflag int NOT NULL DEFAULT 0
);
CREATE TABLE gridsetupitemcs (
  setupid int NOT NULL REFERENCES gridsetups ON DELETE CASCADE,
  typeid int NOT NULL,
  val varchar(100) NOT NULL,
  PRIMARY KEY (setupid, typeid)
);
CREATE TABLE gridsetupfields (
  setupid int NOT NULL REFERENCES gridsetups ON DELETE CASCADE,
  rootid varchar(60) NOT NULL,      -- field name
  fieldindex int NOT NULL,
  fieldvisible int NOT NULL DEFAULT 1,
  fieldpropertyvisible int NOT NULL DEFAULT 1,
  fieldcolumnwidth int NOT NULL DEFAULT 100,
  PRIMARY KEY (setupid, rootid)
);

-- Letter templates per document type (zlib text).
CREATE TABLE letters (
  id int PRIMARY KEY,
  doctypeid int NOT NULL REFERENCES doctypes,
  kind int NOT NULL,
  name rtext NOT NULL,
  image bytea NOT NULL,
  UNIQUE (doctypeid, kind)
);

GRANT SELECT ON itemparams, components, texts, reports, gridsetups, gridsetupitemcs,
  gridsetupfields, letters TO orv_reader;
