-- Stored scripts: a file per script id under demo/scripts.
CREATE TEMP TABLE packed_scripts (id text, body text);
\copy packed_scripts FROM PROGRAM './pack-scripts'
INSERT INTO setup_scripts (rootid, script)
SELECT convert_from(decode(id, 'base64'), 'UTF8'), convert_from(decode(body, 'base64'), 'UTF8')
FROM packed_scripts;
DROP TABLE packed_scripts;
