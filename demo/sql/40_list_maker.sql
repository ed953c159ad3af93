-- List procedures are made from one pattern. Each takes the parameters of its list's
-- parameter text (one function per name, so that untyped parameters resolve), returns SETOF
-- a composite type (varchar lengths and numeric precision reach the client), and:
--   key parameter 0 or NULL: every row, FILTER and ORDER applied inside the query;
--   any other key: that row (lookups);
--   FILTER/ORDER are SQL on the result columns, run with the caller's rights; a ";" outside
--   quotes is refused.
-- The definitions below also give the metadata rows (50_metadata.sql).
CREATE TABLE list_defs (
  listid text PRIMARY KEY,       -- the list id, and the procedure's name unless proc says
  proc text,
  caption text NOT NULL,
  params text NOT NULL,          -- the parameter text of the call
  cols text NOT NULL,            -- the result columns, as in CREATE TYPE
  body text NOT NULL,            -- the rows, columns named as the result's in lower case; $n = parameter n
  keycol text,                   -- column matched by the key parameter (":ID" unless keyparam says)
  keyparam text,                 -- parameter name holding the key when not ID
  deforder text,                 -- ORDER BY when the caller gives none
  writer text,                   -- update procedure stem: <writer>_i/_u/_d
  insertfields text,             -- fields of the insert call after the key
  extra text                     -- trailing parameters with defaults (a second call form)
);

-- Type of a parameter named in a parameter text.
CREATE FUNCTION orv_param_type(name text) RETURNS text
LANGUAGE sql IMMUTABLE AS $$
  SELECT CASE WHEN lower(name) IN ('filter', 'order', 'rootid', 'proc', 'null') THEN 'text'
              ELSE 'int' END
$$;

CREATE FUNCTION orv_make_list(d list_defs) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
  toks text[] := regexp_split_to_array(btrim(d.params), '\s*,\s*');
  args text[] := '{}';
  using_ text[] := '{}';
  tok text;
  pname text;
  k int := 0;
  f int := 0;
  o int := 0;
  outer_ text;
  src text;
  static_ text;
  plain_ text;
  upper_ text;
BEGIN
  IF btrim(d.params) = '' THEN toks := '{}'; END IF;
  d.proc := coalesce(d.proc, d.listid);
  EXECUTE format('CREATE TYPE %I AS (%s)', 't_' || d.proc, d.cols);
  FOR i IN 1 .. coalesce(array_length(toks, 1), 0) LOOP
    tok := toks[i];
    IF left(tok, 1) = ':' THEN
      pname := lower(substr(tok, 2));
      args := args || format('%I %s', 'p_' || pname, orv_param_type(pname));
      IF pname = 'filter' THEN f := i; ELSIF pname = 'order' THEN o := i; END IF;
      IF pname = lower(coalesce(d.keyparam, CASE WHEN d.keycol IS NOT NULL THEN 'id' END)) THEN k := i; END IF;
    ELSE
      args := args || format('%I %s', 'p' || i, CASE WHEN tok ~ '^-?[0-9]+$' THEN 'int' ELSE 'text' END);
    END IF;
    using_ := using_ || ('$' || i);
  END LOOP;
  SELECT string_agg(format('q.%I::%s', lower(a.attname), format_type(a.atttypid, a.atttypmod)), ', ' ORDER BY a.attnum)
  INTO outer_
  FROM pg_attribute a WHERE a.attrelid = format('%I', 't_' || d.proc)::regclass AND a.attnum > 0;
  -- FILTER and ORDER may name the result columns as the client sees them ("NAME") or unquoted.
  SELECT string_agg(format('q0.%I AS %I', lower(a.attname), a.attname), ', ' ORDER BY a.attnum)
  INTO upper_
  FROM pg_attribute a WHERE a.attrelid = format('%I', 't_' || d.proc)::regclass AND a.attnum > 0
    AND a.attname <> lower(a.attname);
  src := 'DECLARE q text := ' || quote_literal('SELECT ' || outer_ || ' FROM (SELECT q0.*'
    || coalesce(', ' || upper_, '') || ' FROM (' || d.body || ') q0) q') || '; BEGIN ';
  IF f > 0 THEN src := src || format('PERFORM orv_check_clause(''FILTER'', $%s); ', f); END IF;
  IF o > 0 THEN src := src || format('PERFORM orv_check_clause(''ORDER'', $%s); ', o); END IF;
  IF k > 0 THEN
    src := src || format('IF coalesce($%s::text, '''') NOT IN ('''', ''0'') THEN q := q || %L; ELSE ', k, ' WHERE q.' || lower(d.keycol) || ' = $' || k);
  END IF;
  src := src || CASE WHEN f > 0 THEN format('q := q || orv_where($%s); ', f) ELSE '' END
              || CASE WHEN o > 0 THEN format('q := q || orv_order($%s, %L); ', o, d.deforder)
                      WHEN d.deforder IS NOT NULL THEN format('q := q || %L; ', ' ORDER BY ' || d.deforder)
                      ELSE '' END;
  IF k > 0 THEN src := src || 'END IF; '; END IF;
  src := src || 'RETURN QUERY EXECUTE q'
    || CASE WHEN array_length(using_, 1) > 0 THEN ' USING ' || array_to_string(using_, ', ') ELSE '' END
    || '; END';
  -- Without FILTER and ORDER the rows come from a plain SQL function, which the server inlines
  -- into the caller's query (no intermediate result); with them, from the dynamic one. Both
  -- only read, and say so: a parallel-unsafe name anywhere in a query keeps the whole query
  -- from parallel plans.
  static_ := 'SELECT ' || outer_ || ' FROM (' || d.body || ') q'
    || CASE WHEN k > 0 THEN format(' WHERE (coalesce($%s::text, '''') IN ('''', ''0'') OR q.%I = $%s)',
                                   k, lower(d.keycol), k) ELSE '' END
    || coalesce(' ORDER BY ' || d.deforder, '');
  IF f = 0 AND o = 0 THEN
    EXECUTE format('CREATE FUNCTION %I(%s) RETURNS SETOF %I LANGUAGE sql STABLE PARALLEL SAFE AS %L',
                   d.proc, array_to_string(args, ', ') || coalesce(', ' || d.extra, ''), 't_' || d.proc, static_);
    RETURN;
  END IF;
  EXECUTE format('CREATE FUNCTION %I(%s) RETURNS SETOF %I LANGUAGE plpgsql STABLE PARALLEL SAFE SECURITY INVOKER '
                 'SET search_path = pg_catalog, public AS %L',
                 d.proc || '_dyn', array_to_string(args, ', ') || coalesce(', ' || d.extra, ''), 't_' || d.proc, src);
  plain_ := array_to_string(ARRAY[CASE WHEN f > 0 THEN format('coalesce(btrim($%s), '''') = ''''', f) END,
                                  CASE WHEN o > 0 THEN format('coalesce(btrim($%s), '''') = ''''', o) END], ' AND ');
  EXECUTE format('CREATE FUNCTION %I(%s) RETURNS SETOF %I LANGUAGE sql STABLE PARALLEL SAFE AS %L',
                 d.proc, array_to_string(args, ', ') || coalesce(', ' || d.extra, ''), 't_' || d.proc,
                 'SELECT * FROM (' || static_ || ') s WHERE ' || plain_
                 || ' UNION ALL SELECT * FROM ' || quote_ident(d.proc || '_dyn') || '('
                 || array_to_string(using_, ', ') || ') WHERE NOT (' || plain_ || ')');
END $$;
