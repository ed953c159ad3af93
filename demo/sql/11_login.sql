-- Application users. A login is checked twice: the server checks the role's SCRAM password
-- when connecting, xp_user checks the bcrypt hash here (a cached connection may serve a
-- second login with another password). Files hold verifiers and hashes only.

CREATE TABLE users (
  id int PRIMARY KEY,
  name rtext NOT NULL UNIQUE,
  fullname varchar(100) NOT NULL,
  hash text NOT NULL CHECK (hash LIKE '$2a$%'),
  designer boolean NOT NULL DEFAULT false,
  sysadmin boolean NOT NULL DEFAULT false
);
-- No grant: the hashes are read by the definer procedures below only.
-- users_v is what the access screens list.
CREATE VIEW users_v AS SELECT id, name, fullname, designer, sysadmin FROM users;
GRANT SELECT ON users_v TO orv_reader;

INSERT INTO users (id, name, fullname, hash, designer, sysadmin) VALUES
  (1, 'orv', 'Системный пользователь', '$2a$08$1.pF8zoa8bb0xgdtZlKYxOwyQ0e79CX2Zn6CId2kNt9HNi1JBDvn.', true, true),
  (2, 'buh', 'Бухгалтер Ёлкина Анна Петровна', '$2a$08$V0VDqCnZS7S6tdEeshBiueQT1HwmrsRixqdaJea8XPwVUj8kpBF5y', false, false),
  (3, 'sklad', 'Кладовщик Громов Илья Сергеевич', '$2a$08$M17CHLvd6UDx0xA8WHB5bOmQ26nZHyGQKwfOIpIE3BwnapAIswCJi', false, false),
  (4, 'gost', 'Гость', '$2a$08$ezj2ASb1afRxXj/B4bDKV.AqkCobNtHeZtpCtWkcpRGF/s8rbVxRa', false, false);

-- The application user of this session; NULL for a role without one.
CREATE FUNCTION orv_uid() RETURNS int
LANGUAGE sql STABLE PARALLEL SAFE SECURITY DEFINER SET search_path = pg_catalog, public AS $$
  SELECT id FROM users WHERE name = session_user::text COLLATE "ru-RU-x-icu"
$$;

CREATE TYPE t_xp_user AS ("ID" int, "UPASS" varchar(1));

-- Refuses (ID 0) a wrong password, an unknown user, a role without a user and a name other
-- than the connected role, with no hint which.
CREATE FUNCTION xp_user(uname text, upass text, id int) RETURNS SETOF t_xp_user
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE
  u users%ROWTYPE;
BEGIN
  SELECT * INTO u FROM users WHERE users.name = uname::citext AND lower(uname) = lower(session_user::text);
  IF NOT FOUND OR upass IS NULL OR u.hash <> crypt(upass, u.hash) THEN
    RETURN QUERY SELECT 0, '0'::varchar(1);
    RETURN;
  END IF;
  RETURN QUERY SELECT u.id, (CASE WHEN u.designer THEN '1' ELSE '0' END)::varchar(1);
END $$;

CREATE FUNCTION orv_set_own_hash(oldpass text, newpass text) RETURNS int
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE
  u users%ROWTYPE;
BEGIN
  SELECT * INTO u FROM users WHERE name = session_user::text COLLATE "ru-RU-x-icu" FOR UPDATE;
  IF NOT FOUND OR oldpass IS NULL OR u.hash <> crypt(oldpass, u.hash) THEN
    RAISE EXCEPTION 'Пользователь или пароль не определен!' USING ERRCODE = '28P01';
  END IF;
  IF coalesce(newpass, '') = '' THEN
    RAISE EXCEPTION 'Пустой пароль недопустим' USING ERRCODE = '22023';
  END IF;
  UPDATE users SET hash = crypt(newpass, gen_salt('bf', 8)) WHERE id = u.id;
  RETURN u.id;
END $$;

CREATE TYPE t_sp_changepassword AS ("ID" int);

-- Runs as the caller: ALTER ROLE CURRENT_USER must name the logged-in role. The hash and
-- the role's verifier change in one transaction.
CREATE FUNCTION sp_changepassword(uname text, oldpass text, newpass text)
RETURNS SETOF t_sp_changepassword
LANGUAGE plpgsql SECURITY INVOKER SET search_path = pg_catalog, public AS $$
DECLARE
  uid int;
BEGIN
  IF lower(uname) <> lower(session_user::text) OR session_user <> current_user THEN
    RAISE EXCEPTION 'Пользователь или пароль не определен!' USING ERRCODE = '28P01';
  END IF;
  uid := orv_set_own_hash(oldpass, newpass);
  EXECUTE format('ALTER ROLE CURRENT_USER PASSWORD %L', newpass);
  RETURN QUERY SELECT uid;
END $$;

CREATE TABLE usermenu (
  id int PRIMARY KEY,
  uid int REFERENCES users,         -- NULL: every user
  parentid int NOT NULL DEFAULT 0,
  name varchar(100) NOT NULL,
  scriptid varchar(100),
  ord int NOT NULL DEFAULT 0
);
INSERT INTO usermenu (id, uid, parentid, name, scriptid, ord) VALUES
  (1, NULL, 0, 'Документы', NULL, 1),
  (2, NULL, 1, 'Счета', '.Документы', 1),
  (3, NULL, 1, 'Накладные', '.Документы', 2),
  (4, 2, 1, 'Платёжные поручения', '.Документы', 3),
  (5, NULL, 0, 'Справочники', NULL, 2),
  (6, NULL, 5, 'Организации', '.Справочник', 1),
  (7, NULL, 5, 'Товары', '.Справочник', 2),
  (8, 1, 0, 'Администрирование', '.Доступ', 3);
GRANT SELECT ON usermenu TO orv_reader;

CREATE TYPE t_dp_usermenu AS ("ID" int, "PARENTID" int, "NAME" varchar(100), "SCRIPTID" varchar(100));

CREATE FUNCTION dp_usermenu() RETURNS SETOF t_dp_usermenu
LANGUAGE sql STABLE SET search_path = pg_catalog, public AS $$
  SELECT id, parentid, name, scriptid FROM usermenu
  WHERE uid IS NULL OR uid = orv_uid() ORDER BY parentid, ord
$$;
