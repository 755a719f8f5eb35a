-- The demo company "zelto_demo": one operator, the application and its grant, the company's
-- details, the order service settings and a few orders already in the log. Run with
-- psql -v port=... (unused here, kept for symmetry with catalog_data.sql).

-- Operator "operator", password "demo" (stored as SHA-256, as the catalog row says).
INSERT INTO emitent (emitent, este_emitent, este_operator, operator_parola, eu_punct_lucru, data_ins)
VALUES ('operator', true, true, encode(sha256(convert_to('demo', 'UTF8')), 'hex'), 'Sediu', current_date);

INSERT INTO aplicatie_mob (aplicatie_mob, activ, obs) VALUES ('wImportKalvoro', true, 'Import comenzi Kalvoro');
INSERT INTO aplicatie_mob_emitent (aplicatie_mob, emitent, rol) VALUES ('wImportKalvoro', 'operator', 'operator');

INSERT INTO eu (cod_cci, eu, data_incep_activitate, tara, localit, adresa, metoda_stoc,
                tip_contabilitate, data_denominare, norma)
VALUES ('RO1234567', 'Demo Distributie SRL', '2010-01-01', 'RO', 'Cluj-Napoca', 'Str. Exemplu 1',
        'FIFO', 'ROMANA', '2005-07-01', 8);

-- The demo order service; scripts/demo.sh points it at the port it started the service on.
INSERT INTO config_kalvoro (base_url, user_name, pass) VALUES ('127.0.0.1:18080/api', 'kalvoro', 'demo');

INSERT INTO demo_partener (nume) VALUES
    ('Magazin Central SRL'), ('Bacania din Deal'), ('Cofetaria Dulce'), ('Hotel Someș');

-- Orders filed over the last days: one imported and confirmed, one imported and not yet
-- confirmed, one refused earlier, and two waiting.
INSERT INTO log_kalvoro (id_cmd_c, cmd_c_json, data_ins_log, err_la_import, data_doc_zelto,
                         tip_doc_zelto, nr_doc_zelto, data_feedback) VALUES
('6f1c2a8e-0b1d-4c59-9a57-2d8f3e1b7a01',
 '{"order_id": "6f1c2a8e-0b1d-4c59-9a57-2d8f3e1b7a01", "client_full_name": "Magazin Central SRL", "location": "Cluj-Napoca, Str. Horea 5", "created_at": "' || to_char(localtimestamp - interval '6 days', 'YYYY-MM-DD"T"HH24:MI:SS') || '", "delivery_date": "' || to_char(current_date - 4, 'YYYY-MM-DD') || '", "lines": [{"sku": "P-100", "name": "Paine alba 500g", "quantity": 40, "price": 3.50}, {"sku": "L-210", "name": "Lapte 1.5% 1L", "quantity": 24, "price": 6.20}]}',
 localtimestamp - interval '6 days', NULL, current_date - 6, 'CMDC', 'KV000001', localtimestamp - interval '6 days' + interval '2 minutes'),
('0b9a7c44-5e2f-4d8b-8c31-7a6e9f2d4b02',
 '{"order_id": "0b9a7c44-5e2f-4d8b-8c31-7a6e9f2d4b02", "client_full_name": "Bacania din Deal", "location": "Floresti, Str. Eroilor 12", "created_at": "' || to_char(localtimestamp - interval '3 days', 'YYYY-MM-DD"T"HH24:MI:SS') || '", "delivery_date": "' || to_char(current_date - 1, 'YYYY-MM-DD') || '", "lines": [{"sku": "C-015", "name": "Cafea macinata 250g", "quantity": 10, "price": 18.90}]}',
 localtimestamp - interval '3 days', 'fProc_Kalvoro.confirmareCmdC :REST request failed: Could not connect to server',
 current_date - 3, 'CMDC', 'KV000002', NULL),
('c3d2e1f0-a9b8-4c7d-8e6f-5a4b3c2d1e03',
 '{"order_id": "c3d2e1f0-a9b8-4c7d-8e6f-5a4b3c2d1e03", "client_full_name": "Patiseria Noua", "location": "Turda, Piata Republicii 2", "created_at": "' || to_char(localtimestamp - interval '2 days', 'YYYY-MM-DD"T"HH24:MI:SS') || '", "delivery_date": "' || to_char(current_date + 1, 'YYYY-MM-DD') || '", "lines": [{"sku": "F-001", "name": "Faina 000 1kg", "quantity": 50, "price": 4.10}]}',
 localtimestamp - interval '2 days', '(SQL o_kalvoro_cmd_c_ins) : Client necunoscut: Patiseria Noua', NULL, NULL, NULL, NULL),
('9e8d7c6b-5a49-4382-9170-6f5e4d3c2b04',
 '{"order_id": "9e8d7c6b-5a49-4382-9170-6f5e4d3c2b04", "client_full_name": "Cofetaria Dulce", "location": "Cluj-Napoca, Bd. Eroilor 3", "created_at": "' || to_char(localtimestamp - interval '1 day', 'YYYY-MM-DD"T"HH24:MI:SS') || '", "delivery_date": "' || to_char(current_date + 2, 'YYYY-MM-DD') || '", "lines": [{"sku": "Z-500", "name": "Zahar tos 1kg", "quantity": 30, "price": 5.40}, {"sku": "U-250", "name": "Unt 82% 200g", "quantity": 20, "price": 9.99}, {"sku": "O-010", "name": "Oua M 10 buc", "quantity": 15, "price": 12.50}]}',
 localtimestamp - interval '1 day', NULL, NULL, NULL, NULL, NULL),
('2a3b4c5d-6e7f-4a8b-9c0d-1e2f3a4b5c05',
 '{"order_id": "2a3b4c5d-6e7f-4a8b-9c0d-1e2f3a4b5c05", "client_full_name": "Hotel Someș", "location": "Dej, Str. 1 Mai 8", "created_at": "' || to_char(localtimestamp - interval '5 hours', 'YYYY-MM-DD"T"HH24:MI:SS') || '", "delivery_date": "' || to_char(current_date + 3, 'YYYY-MM-DD') || '", "lines": [{"sku": "A-330", "name": "Apa minerala 0.33L / bax", "quantity": 12, "price": 21.00}]}',
 localtimestamp - interval '5 hours', NULL, NULL, NULL, NULL, NULL);
