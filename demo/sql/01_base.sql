-- Extensions and the owner. Everything after this file is created as orv_owner, a role
-- nobody logs in as; demo roles reach data through grants and procedures only.
CREATE EXTENSION IF NOT EXISTS citext;
CREATE EXTENSION IF NOT EXISTS pgcrypto;
REVOKE ALL ON SCHEMA public FROM PUBLIC;
GRANT USAGE ON SCHEMA public TO PUBLIC;
GRANT CREATE ON SCHEMA public TO orv_owner;
SET ROLE orv_owner;
-- Functions created from here on are callable by the demo roles only.
ALTER DEFAULT PRIVILEGES FOR ROLE orv_owner REVOKE EXECUTE ON FUNCTIONS FROM PUBLIC;
ALTER DEFAULT PRIVILEGES FOR ROLE orv_owner GRANT EXECUTE ON FUNCTIONS TO orv_reader;

-- Searchable texts: case-insensitive, Russian order (Ё after Е, not after Я).
CREATE DOMAIN rtext AS citext COLLATE "ru-RU-x-icu";

-- The text of a FILTER or ORDER is SQL by design, run with the caller's rights; a ";"
-- outside quotes would start a second statement.
CREATE FUNCTION orv_check_clause(what text, clause text) RETURNS void
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  q char := NULL;
  c char;
BEGIN
  IF clause IS NULL THEN RETURN; END IF;
  FOR i IN 1 .. length(clause) LOOP
    c := substr(clause, i, 1);
    IF q IS NOT NULL THEN
      IF c = q THEN q := NULL; END IF;
    ELSIF c IN ('''', '"') THEN
      q := c;
    ELSIF c = ';' THEN
      RAISE EXCEPTION 'Недопустимый символ ";" в % (позиция %): %', what, i, clause
        USING ERRCODE = '42601';
    END IF;
  END LOOP;
  IF q IS NOT NULL THEN
    RAISE EXCEPTION 'Незакрытая кавычка в %: %', what, clause USING ERRCODE = '42601';
  END IF;
END $$;

-- " WHERE (filter)" and " ORDER BY order" for a list procedure's dynamic query; empty when absent.
CREATE FUNCTION orv_where(filter text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
  PERFORM orv_check_clause('FILTER', filter);
  IF coalesce(btrim(filter), '') = '' THEN RETURN ''; END IF;
  RETURN ' WHERE (' || filter || ')';
END $$;

CREATE FUNCTION orv_order(ord text, fallback text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
  PERFORM orv_check_clause('ORDER', ord);
  IF coalesce(btrim(ord), '') = '' THEN
    RETURN CASE WHEN fallback IS NULL THEN '' ELSE ' ORDER BY ' || fallback END;
  END IF;
  RETURN ' ORDER BY ' || ord;
END $$;
