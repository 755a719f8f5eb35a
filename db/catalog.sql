-- The central catalog database "zelto_mob": one row per company, telling on which server, port
-- and database the company's Zelto data lives and how its operators' passwords are stored.
CREATE TABLE m_firma (
    nume_firma   varchar(200) NOT NULL,   -- the company name typed at sign-in (case counts)
    ip           text,                    -- server of the company database
    port         integer,                 -- its port
    db_name      text,                    -- the company database
    pw_hash_type varchar(23),             -- 'HashSHA2': operator passwords stored as SHA-256
    activ        boolean,
    m_site       boolean NOT NULL DEFAULT false
);

DO $$
BEGIN
    IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'zelto') THEN
        GRANT SELECT ON m_firma TO zelto;
    END IF;
END $$;
