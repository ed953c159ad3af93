-- The demo installation, loaded by scripts/demo into an empty database as the superuser,
-- from the demo folder (psql -1 -v ON_ERROR_STOP=1 -f load.sql).
\set ON_ERROR_STOP 1
SET client_min_messages = warning;
\o /dev/null
\ir sql/00_roles.sql
\ir sql/01_base.sql
\ir sql/10_setup.sql
\ir sql/11_login.sql
\ir sql/12_counters.sql
\ir sql/15_tree_access.sql
\ir sql/20_business.sql
\ir sql/25_misc.sql
\ir sql/40_list_maker.sql
\ir sql/41_lists.sql
\ir sql/42_procs.sql
\ir sql/50_metadata.sql
\ir sql/60_data.sql
\ir sql/90_scripts.sql
RESET ROLE;
