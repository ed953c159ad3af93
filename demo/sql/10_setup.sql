-- Setup store: aliases, list and field descriptions, stored scripts, the value store.
-- The client reads LISTS, LISTFLD and SCRIPTS through the *_v views (upper-case columns).

CREATE TABLE aliases (
  rootid varchar(40) PRIMARY KEY,
  name varchar(100) NOT NULL,
  database varchar(40) NOT NULL CHECK (database <> ''),  -- empty would leave lists without statements
  drivername varchar(40) NOT NULL DEFAULT '',
  objectprefix varchar(40) NOT NULL DEFAULT '',
  objectsuffix varchar(40) NOT NULL DEFAULT '',
  connstr varchar(255)
);
INSERT INTO aliases (rootid, name, database, drivername, objectprefix) VALUES
  ('  SETUP  ', 'Основные настройки', 'orv_PGS', '', 'SETUP_'),
  ('ORV', 'Основные данные', 'orv_PGS', '', ''),
  (' VAL V+ F- S-', 'Значения', 'orv_PGS', '', 'VAL_');

CREATE TABLE setup_lists (
  rootid rtext PRIMARY KEY CHECK (length(rootid) BETWEEN 1 AND 60),
  name varchar(200),
  componentname varchar(60),
  clsname varchar(60),
  clsparentname varchar(60),
  key varchar(60),
  customfields varchar(255),
  parentid int NOT NULL DEFAULT 0,
  aliasid varchar(40) NOT NULL DEFAULT 'ORV' REFERENCES aliases,
  objectname varchar(255),
  ttlaliases varchar(255),
  primaryfields varchar(100),
  insertsql varchar(500),
  modifysql varchar(500),
  deletesql varchar(500)
);

CREATE TABLE setup_listfld (
  rootid rtext NOT NULL REFERENCES setup_lists ON DELETE CASCADE,
  fieldname varchar(60) NOT NULL,
  aindex int NOT NULL,
  name varchar(200),
  displaylabel varchar(200),
  hint varchar(255),
  linklistid varchar(60),
  listfieldname varchar(100),
  keyfields varchar(100),
  listidfieldname varchar(60),
  nextfieldname varchar(60),
  linkid varchar(60),
  search varchar(255),
  displayformat varchar(60),
  editformat varchar(60),
  visible int NOT NULL DEFAULT 1,
  propertyvisible int NOT NULL DEFAULT 1,
  tag int,
  displaywidth int,
  selffieldname varchar(60),
  parentfieldname varchar(60),
  paramname varchar(60),
  defaultvalue varchar(100),
  customfield varchar(60),
  propertyname varchar(60),
  required int NOT NULL DEFAULT 0,
  imagedisplay int,
  titlestyle varchar(100),
  standardstyle varchar(100),
  selectedrowstyle varchar(100),
  selectedcellstyle varchar(100),
  role varchar(60),
  PRIMARY KEY (rootid, fieldname)
);

CREATE TABLE setup_scripts (
  rootid varchar(100) PRIMARY KEY,
  script text NOT NULL
);

CREATE VIEW setup_lists_v AS
SELECT rootid::varchar(60) AS "ROOTID", name AS "NAME", componentname AS "COMPONENTNAME",
       clsname AS "CLSNAME", clsparentname AS "CLSPARENTNAME", key AS "KEY",
       customfields AS "CUSTOMFIELDS", parentid AS "PARENTID", aliasid AS "ALIASID",
       objectname AS "OBJECTNAME", ttlaliases AS "TTLALIASES", primaryfields AS "PRIMARYFIELDS",
       insertsql AS "INSERTSQL", modifysql AS "MODIFYSQL", deletesql AS "DELETESQL"
FROM setup_lists;

CREATE VIEW setup_listfld_v AS
SELECT rootid::varchar(60) AS "ROOTID", fieldname AS "FIELDNAME", aindex AS "INDEX",
       name AS "NAME", displaylabel AS "DISPLAYLABEL", hint AS "HINT",
       linklistid AS "LINKLISTID", listfieldname AS "LISTFIELDNAME", keyfields AS "KEYFIELDS",
       listidfieldname AS "LISTIDFIELDNAME", nextfieldname AS "NEXTFIELDNAME", linkid AS "LINKID",
       search AS "SEARCH", displayformat AS "DISPLAYFORMAT", editformat AS "EDITFORMAT",
       visible AS "VISIBLE", propertyvisible AS "PROPERTYVISIBLE", tag AS "TAG",
       displaywidth AS "DISPLAYWIDTH", selffieldname AS "SELFFIELDNAME",
       parentfieldname AS "PARENTFIELDNAME", paramname AS "PARAMNAME",
       defaultvalue AS "DEFAULTVALUE", customfield AS "CUSTOMFIELD", propertyname AS "PROPERTYNAME",
       required AS "REQUIRED", imagedisplay AS "IMAGEDISPLAY", titlestyle AS "TITLESTYLE",
       standardstyle AS "STANDARDSTYLE", selectedrowstyle AS "SELECTEDROWSTYLE",
       selectedcellstyle AS "SELECTEDCELLSTYLE", role AS "ROLE"
FROM setup_listfld
ORDER BY rootid, aindex;

CREATE VIEW setup_scripts_v AS
SELECT rootid AS "ROOTID", script AS "SCRIPT" FROM setup_scripts;

-- The value alias: no lists of its own, one value table.
CREATE VIEW val_lists_v AS SELECT * FROM setup_lists_v WHERE false;

CREATE TABLE val_vallist (
  rootid rtext PRIMARY KEY,
  vstring varchar(255),
  vinteger int,
  vfloat double precision,
  vdate date,
  vtime time,
  vboolean boolean
);

GRANT SELECT ON aliases, setup_lists, setup_listfld, setup_scripts, setup_lists_v,
  setup_listfld_v, setup_scripts_v, val_lists_v TO orv_reader;
-- The client's value store writes this table through a plain table dataset.
GRANT SELECT, INSERT, UPDATE, DELETE ON val_vallist TO orv_reader;
GRANT INSERT, UPDATE, DELETE ON setup_lists, setup_listfld, setup_scripts TO orv_admin;
