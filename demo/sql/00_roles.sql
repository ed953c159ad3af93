-- Roles live in the cluster, not in the database: created when missing, so a second load
-- (the large set, a reload) finds them in place. Files hold SCRAM verifiers only.
DO $$
DECLARE
  r record;
BEGIN
  FOR r IN SELECT * FROM (VALUES ('orv_owner'), ('orv_reader'), ('orv_writer'), ('orv_admin')) v(n) LOOP
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = r.n) THEN
      EXECUTE format('CREATE ROLE %I NOLOGIN', r.n);
    END IF;
  END LOOP;
  FOR r IN SELECT * FROM (VALUES
      ('orv', 'SCRAM-SHA-256$4096:GQmbAW589jDFKg4A0C/ncQ==$ajIgdRF0WIeJc/fnGRtqLBQzoEZOsFZPw2cebUGf+Zo=:xTWRdsZOKG8zkbPWYc9odT7lTo5+bzlr8qrNsypWYfA='),
      ('buh', 'SCRAM-SHA-256$4096:HE4SBlxj4p4h7NhoaqvjCQ==$B3K/D1QaVfbJh8djfzAt3dMRbw2bNHENSKMn6Yx/r5o=:nNmo4lpUxIYcrLZXgavdE2lPakL+K9kV9BjOrhpC5Fg='),
      ('sklad', 'SCRAM-SHA-256$4096:lxNI0deguRKhkstM7gPtiw==$DpwIM6H4VKBGOSZPcL1ue0AWkxes0OErGEKDGlpGmoI=:Gb4kiSCQrrG6XwcLLNOULdT6o8tZ3oVgwvRLKeleDoo='),
      ('gost', 'SCRAM-SHA-256$4096:oF7C/W24zHoCAj7rR0aPCA==$mnxlmjBu9kIuJ4B3SciKxw+EAl221jf565x42nZDEDE=:WTbxcnSZ70gF5EDf//ZYHZCv/A5gm9sXilkvgWr5+OM='),
      ('stazher', 'SCRAM-SHA-256$4096:lFD7gDmaTZb5QL6ETnoExg==$oXgzkegcPDaX2JjSdp/jjJhyQmIdI/6FwJduszaLOJc=:wc5zdjIMs7NMcMAx8s/XbBxxKxHEAaEfMspLcxYs6m4=')
    ) v(n, verifier) LOOP
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = r.n) THEN
      EXECUTE format('CREATE ROLE %I LOGIN', r.n);
    END IF;
    EXECUTE format('ALTER ROLE %I LOGIN PASSWORD %L', r.n, r.verifier);
  END LOOP;
END $$;

GRANT orv_reader TO orv_writer;
GRANT orv_writer TO orv_admin;
GRANT orv_admin TO orv;
GRANT orv_writer TO buh, sklad;
GRANT orv_reader TO gost, stazher;
