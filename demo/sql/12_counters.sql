-- Counters: one sequence each. A sequence hands out numbers outside transactions, so a
-- user's open transaction never blocks another's numbering and no number repeats.
CREATE SEQUENCE counter_0 START 1000000;  -- the general counter: keys of new rows
CREATE SEQUENCE counter_1;                -- document numbers
CREATE SEQUENCE counter_2;                -- organisation codes

CREATE TABLE counters (
  id int PRIMARY KEY,
  seqname name NOT NULL UNIQUE,
  name varchar(100) NOT NULL
);
INSERT INTO counters VALUES
  (0, 'counter_0', 'Общий счётчик'),
  (1, 'counter_1', 'Номера документов'),
  (2, 'counter_2', 'Коды организаций');
GRANT SELECT ON counters TO orv_reader;

CREATE TYPE t_sf_counter AS ("ID" int);

CREATE FUNCTION sf_counter(n int) RETURNS SETOF t_sf_counter
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE
  s name;
BEGIN
  SELECT seqname INTO s FROM counters WHERE id = n;
  IF NOT FOUND THEN
    RAISE EXCEPTION 'Счетчик % не определен', coalesce(n::text, 'NULL') USING ERRCODE = 'P0002';
  END IF;
  RETURN QUERY SELECT nextval(s::regclass)::int;
END $$;

-- Keys of new rows when the caller sends none.
CREATE FUNCTION orv_next_id() RETURNS int
LANGUAGE sql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
  SELECT nextval('counter_0')::int
$$;
