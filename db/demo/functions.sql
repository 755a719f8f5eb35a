-- A working implementation of the two server functions, for the demo and the tests. A real
-- Zelto database brings its own; this one keeps the client orders in two small tables.

-- Clients known to the demo ERP; an order for anyone else is refused.
CREATE TABLE demo_partener (
    nume text NOT NULL PRIMARY KEY
);

-- Client order documents created from Kalvoro orders.
CREATE SEQUENCE demo_cmd_client_nr;
CREATE TABLE demo_cmd_client (
    id           serial PRIMARY KEY,
    id_cmd_c     uuid NOT NULL UNIQUE REFERENCES log_kalvoro (id_cmd_c),
    tip_doc      varchar(7) NOT NULL,
    nr_doc       varchar(15) NOT NULL,
    data_doc     date NOT NULL,
    client       text NOT NULL,
    locatie      text,
    data_livrare date,
    emitent      text NOT NULL
);
CREATE TABLE demo_cmd_client_linie (
    id_cmd_client integer NOT NULL REFERENCES demo_cmd_client (id),
    nr_linie      integer NOT NULL,
    cod_articol   text NOT NULL,
    denumire      text,
    cantitate     numeric NOT NULL,
    pret          numeric NOT NULL,
    PRIMARY KEY (id_cmd_client, nr_linie)
);

-- Every call of o_kalvoro_log_ins, with the text it was given, so that what reached the
-- database can be checked.
CREATE TABLE demo_log_ins_apel (
    id       bigserial PRIMARY KEY,
    pjson    text,
    data_ora timestamp NOT NULL DEFAULT clock_timestamp()
);

CREATE OR REPLACE FUNCTION o_kalvoro_log_ins(pjson text)
RETURNS TABLE (id_cmd_c uuid)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public AS $$
DECLARE
    doc   json;
    cmd   json;
    id    uuid;
BEGIN
    INSERT INTO demo_log_ins_apel (pjson) VALUES (pjson);
    doc := pjson::json;
    -- The answer is an array of orders; null, or any value that is not an array, holds none.
    IF json_typeof(doc) IS DISTINCT FROM 'array' THEN
        RETURN;
    END IF;
    FOR cmd IN SELECT value FROM json_array_elements(doc) LOOP
        IF json_typeof(cmd) IS DISTINCT FROM 'object' OR cmd->>'order_id' IS NULL THEN
            RAISE EXCEPTION 'Comanda fara order_id: %', left(cmd::text, 200);
        END IF;
        id := (cmd->>'order_id')::uuid;
        -- Filing is idempotent: an order already in the log keeps its row as it is.
        INSERT INTO log_kalvoro AS l (id_cmd_c, cmd_c_json, data_ins_log)
        VALUES (id, cmd::text, localtimestamp)
        ON CONFLICT ON CONSTRAINT log_kalvoro_pkey DO NOTHING;
        IF FOUND THEN
            id_cmd_c := id;
            RETURN NEXT;
        END IF;
    END LOOP;
END $$;

CREATE OR REPLACE FUNCTION o_kalvoro_cmd_c_ins(pidorder uuid, pemitent text)
RETURNS TABLE (data_doc date, tip_doc varchar, nr_doc varchar)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public AS $$
DECLARE
    rec    log_kalvoro%ROWTYPE;
    cmd    json;
    doc_id integer;
    nr     varchar(15);
    linie  json;
    i      integer := 0;
BEGIN
    -- The row lock makes two workstations importing the same order at once wait for each
    -- other; the second then finds the order imported and creates nothing.
    SELECT * INTO rec FROM log_kalvoro l WHERE l.id_cmd_c = pidorder FOR UPDATE;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'Comanda % nu exista in log_kalvoro', pidorder;
    END IF;
    IF rec.data_doc_zelto IS NOT NULL THEN
        data_doc := rec.data_doc_zelto; tip_doc := rec.tip_doc_zelto; nr_doc := rec.nr_doc_zelto;
        RETURN NEXT;
        RETURN;
    END IF;
    cmd := rec.cmd_c_json::json;
    IF NOT EXISTS (SELECT 1 FROM demo_partener p WHERE p.nume = cmd->>'client_full_name') THEN
        RAISE EXCEPTION 'Client necunoscut: %', coalesce(cmd->>'client_full_name', '(fara nume)');
    END IF;
    IF json_typeof(cmd->'lines') IS DISTINCT FROM 'array' OR json_array_length(cmd->'lines') = 0 THEN
        RAISE EXCEPTION 'Comanda % nu are linii', pidorder;
    END IF;
    nr := 'KV' || lpad(nextval('demo_cmd_client_nr')::text, 6, '0');
    INSERT INTO demo_cmd_client (id_cmd_c, tip_doc, nr_doc, data_doc, client, locatie, data_livrare, emitent)
    VALUES (pidorder, 'CMDC', nr, current_date, cmd->>'client_full_name', cmd->>'location',
            (cmd->>'delivery_date')::date, pemitent)
    RETURNING id INTO doc_id;
    FOR linie IN SELECT value FROM json_array_elements(cmd->'lines') LOOP
        i := i + 1;
        INSERT INTO demo_cmd_client_linie (id_cmd_client, nr_linie, cod_articol, denumire, cantitate, pret)
        VALUES (doc_id, i, linie->>'sku', linie->>'name', (linie->>'quantity')::numeric,
                (linie->>'price')::numeric);
    END LOOP;
    UPDATE log_kalvoro l SET data_doc_zelto = current_date, tip_doc_zelto = 'CMDC', nr_doc_zelto = nr
    WHERE l.id_cmd_c = pidorder;
    data_doc := current_date; tip_doc := 'CMDC'; nr_doc := nr;
    RETURN NEXT;
END $$;
