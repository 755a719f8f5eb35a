-- The demo company in the catalog; run with psql -v port=<the cluster's port>.
INSERT INTO m_firma (nume_firma, ip, port, db_name, pw_hash_type, activ, m_site)
VALUES ('Demo', '127.0.0.1', :port, 'zelto_demo', 'HashSHA2', true, true);
