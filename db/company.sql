-- A company (Zelto) database: the tables and the two server functions that wImportKalvoro
-- relies on. The ERP's own schema is far larger; only what the tool reads or calls is here, with
-- the columns that its sign-in queries declare. The bodies of the two functions belong to the
-- ERP; db/demo/functions.sql holds a working implementation for the demo and the tests.

-- Operators (and other issuers of documents). Signing in compares emitent and operator_parola.
CREATE TABLE emitent (
    emitent varchar(100) NOT NULL,
    emitent_corect varchar(100),
    este_emitent boolean DEFAULT false NOT NULL,
    este_operator boolean DEFAULT false NOT NULL,
    este_comisionar boolean DEFAULT false NOT NULL,
    este_sofer boolean DEFAULT false NOT NULL,
    operator_parola varchar(256),
    cod_casier_pos varchar(10),
    banca_eu_default varchar(100),
    cont_banca_eu_default varchar(28),
    casa varchar(50),
    moneda varchar(3),
    magazie_sursa_default varchar(5),
    magazie_dest_default varchar(5),
    functie varchar(30),
    eu_punct_lucru varchar(50) NOT NULL,
    com_int varchar(25),
    loc varchar(25),
    nr_obiect varchar(20),
    ci_nume varchar(30),
    ci_serie varchar(3),
    ci_nr varchar(25),
    ci_data_elib date,
    ci_elib varchar(25),
    cnp varchar(25),
    transport_mijloc varchar(25),
    transport_nr varchar(25),
    da_nu_schimbare_pl boolean DEFAULT false NOT NULL,
    da_nu_adaugare_partener boolean DEFAULT false NOT NULL,
    da_nu_adaugare_articol boolean DEFAULT false NOT NULL,
    da_nu_acces_la_politica_pret boolean DEFAULT false NOT NULL,
    da_nu_modif_data_listare boolean DEFAULT false NOT NULL,
    da_nu_acces_limita_creditare boolean DEFAULT false NOT NULL,
    prez_of_stoc_fact_cl boolean DEFAULT false NOT NULL,
    prez_of_stoc_av_exp boolean DEFAULT false NOT NULL,
    prez_of_stoc_bte boolean DEFAULT false NOT NULL,
    prez_of_stoc_bc boolean DEFAULT false NOT NULL,
    pret_fact_cl_cu_tva boolean DEFAULT false NOT NULL,
    da_nu_fact_pe_calc boolean DEFAULT false NOT NULL,
    da_nu_modif_nr_fact_pe_calc boolean DEFAULT false NOT NULL,
    da_nu_fact_autocopy boolean DEFAULT false NOT NULL,
    da_nu_aviz_autocopy boolean DEFAULT false NOT NULL,
    da_nu_modif_data_livrare boolean DEFAULT false NOT NULL,
    nr_zile_prezentare_doc integer,
    data_ins date NOT NULL,
    da_nu_fact_ci_rosu boolean,
    em_email_adr varchar(50),
    tel_fix varchar(30),
    tel_mobil varchar(30),
    proc_comisionar double precision,
    em_outgoing_email_server varchar(50),
    em_outgoing_email_port integer,
    em_outgoing_email_secure boolean DEFAULT false NOT NULL,
    em_outgoing_email_user varchar(50),
    em_outgoing_email_psw varchar(50),
    em_outlook boolean DEFAULT false NOT NULL,
    lang varchar(15),
    rol_web varchar(25),
    rol_win varchar(25),
    web_theme varchar(25),
    discontinued boolean DEFAULT false NOT NULL,
    data_export timestamp,
    data_import timestamp,
    vede_pret_stoc boolean,
    da_nu_generare_op boolean DEFAULT false NOT NULL,
    PRIMARY KEY (emitent)
);

-- Applications that may be used against this database, and who may use them.
CREATE TABLE aplicatie_mob (
    aplicatie_mob varchar(100) NOT NULL PRIMARY KEY,
    activ         boolean NOT NULL DEFAULT true,
    obs           text
);

CREATE TABLE aplicatie_mob_emitent (
    aplicatie_mob varchar(100) NOT NULL,
    emitent       varchar(100) NOT NULL,
    rol           text,
    PRIMARY KEY (aplicatie_mob, emitent)
);

-- The company's own details; the sign-in opens it, and every declared column must exist.
CREATE TABLE eu (
    cod_cci varchar(20) NOT NULL,
    atribut_fiscal varchar(3),
    tip_societate varchar(20),
    reg_comert_jud varchar(5),
    reg_comert_nr varchar(7),
    reg_comert_data date,
    reg_comert_jud_suc varchar(5),
    reg_comert_nr_suc varchar(7),
    reg_comert_data_suc date,
    cnp_a varchar(13),
    eu varchar(100),
    eu_sediu varchar(30),
    data_incep_activitate date NOT NULL,
    trezoreria varchar(100),
    trezoreria_cont varchar(28),
    data_gen_fact date,
    tara varchar(3) NOT NULL,
    localit varchar(30) NOT NULL,
    adresa varchar(100) NOT NULL,
    telefon varchar(50),
    fax varchar(50),
    email_adr varchar(50),
    web_adr varchar(50),
    nr_insp_munca varchar(15),
    nr_pers_hand_suta_ang double precision,
    da_nu_modif_ore_prez boolean,
    da_nu_dimin_avans_cu_ret boolean,
    formula_calcul_co varchar(30),
    proc_avans_co double precision,
    formula_calcul_avans_q varchar(30),
    formula_calcul_penalitati integer,
    proc_avans double precision,
    rotunjire_avans integer,
    rotunjire_lichidare integer,
    proc_diminuare_bugetari double precision,
    nr_autorizatie_alcool varchar(30),
    metoda_stoc varchar(4) NOT NULL,
    da_nu_scadere_stoc_in_viitor boolean DEFAULT false NOT NULL,
    da_nu_impozit_profit boolean DEFAULT false NOT NULL,
    da_nu_nevoi_firma boolean DEFAULT false NOT NULL,
    da_nu_platitor_tva_in_vama boolean,
    proc_impozit_profit double precision,
    proc_deductibilitate double precision,
    prez_of_stoc_fact_cl boolean DEFAULT false NOT NULL,
    da_nu_postcalcul boolean DEFAULT false NOT NULL,
    prez_of_stoc_av_exp boolean DEFAULT false NOT NULL,
    prez_of_stoc_bte boolean DEFAULT false NOT NULL,
    prez_of_stoc_bc boolean DEFAULT false NOT NULL,
    pret_fact_cl_cu_tva boolean DEFAULT false NOT NULL,
    pret_nir_cu_tva boolean DEFAULT false NOT NULL,
    pret_cmd_client_cu_tva boolean DEFAULT false NOT NULL,
    da_nu_tva_neexigibil boolean DEFAULT false NOT NULL,
    da_nu_list_fact_pr_ctl boolean DEFAULT false NOT NULL,
    da_nu_list_fact_neop_stoc boolean DEFAULT false NOT NULL,
    da_nu_bon_pe_calc boolean DEFAULT false NOT NULL,
    da_nu_cmd_pe_extrasb boolean DEFAULT false NOT NULL,
    da_nu_fact_pe_calc boolean DEFAULT false NOT NULL,
    da_nu_fact_autocopy boolean DEFAULT false NOT NULL,
    da_nu_aviz_autocopy boolean DEFAULT false NOT NULL,
    da_nu_nir_in_mag_dest boolean DEFAULT false NOT NULL,
    tip_contabilitate varchar(20) NOT NULL,
    da_nu_politica_pret_punct_lucru boolean DEFAULT false NOT NULL,
    da_nu_nota_c_fara_restrictie boolean DEFAULT false NOT NULL,
    da_nu_mon_cont_tip_doc boolean DEFAULT false NOT NULL,
    data_denominare date NOT NULL,
    da_nu_balanta_pe_obiective boolean DEFAULT false NOT NULL,
    da_nu_rezervare_stoc boolean DEFAULT false NOT NULL,
    da_nu_contare_avz_c boolean DEFAULT false NOT NULL,
    da_nu_contare_nirad boolean DEFAULT false NOT NULL,
    norma double precision NOT NULL,
    data_avans date,
    data_lichidare date,
    strada varchar(50),
    nr_strada varchar(10),
    bloc varchar(10),
    scara varchar(5),
    etaj varchar(5),
    apt varchar(5),
    sector varchar(1),
    cod_postal_adresa varchar(6),
    sup_eu_denumire varchar(100),
    sup_eu_cui varchar(13),
    eu_cui varchar(13),
    eu_cif varchar(13),
    eu_reprezentant_legal varchar(100),
    val_limita_casa_lei double precision,
    proc_penaliz_intirziere double precision,
    cod_forma_proprietate double precision,
    cod_forma_organizare double precision,
    cod_tip_societate double precision,
    cod_caen varchar(6),
    cod_siruta double precision,
    tip_administrare_soc varchar(50),
    capital_social varchar(100),
    da_nu_autoinchidere_cmd_client boolean DEFAULT false NOT NULL,
    da_nu_autoinchidere_cmd_furn boolean DEFAULT false NOT NULL,
    da_nu_institutie_publica boolean DEFAULT false NOT NULL,
    casa_asig_sanatate varchar(2),
    nr_licenta_turism varchar(20),
    da_nu_balanta_pe_subunitati boolean DEFAULT false NOT NULL,
    da_nu_b_casa_stoc boolean DEFAULT false NOT NULL,
    da_nu_b_casa_articol boolean DEFAULT false NOT NULL,
    da_nu_salarii_in_postcalcul boolean DEFAULT false NOT NULL,
    da_nu_turism_in_comision boolean DEFAULT false NOT NULL,
    da_nu_confirmare_comanda boolean DEFAULT false NOT NULL,
    da_nu_micro_intreprindere boolean DEFAULT false NOT NULL,
    da_nu_tva_nededus_cont_separat boolean DEFAULT false NOT NULL,
    jas_ip text,
    jas_ip_ext text,
    mod_plata_tva varchar(20),
    gln varchar(13),
    reges_cod_tip_angajator varchar(20),
    reges_cod_forma_organizare varchar(70),
    reges_cod_forma_juridica varchar(48),
    reges_cod_tip_societate varchar(30),
    reges_cod_forma_proprietate varchar(8),
    reges_cod_act_id_pf varchar(25)
);

-- Address and credentials of the Kalvoro order service; the first row is used.
CREATE TABLE config_kalvoro (
    base_url  text,
    user_name text,
    pass      text
);

-- The order log: one row per Kalvoro order, filed by o_kalvoro_log_ins, imported into Zelto by
-- o_kalvoro_cmd_c_ins. The tool itself only updates err_la_import and data_feedback.
CREATE TABLE log_kalvoro (
    id_cmd_c       uuid NOT NULL PRIMARY KEY,      -- the order service's order id
    cmd_c_json     text,                            -- the order as one JSON object
    data_ins_log   timestamp NOT NULL DEFAULT localtimestamp, -- when filed
    err_la_import  text,                            -- last import or feedback failure
    data_doc_zelto date,                            -- the Zelto document; NULL until imported
    tip_doc_zelto  varchar(7),
    nr_doc_zelto   varchar(15),
    data_feedback  timestamp                        -- when confirmed to the order service
);
-- The order log is listed by the day it was filed.
CREATE INDEX log_kalvoro_zi_ins ON log_kalvoro ((cast(data_ins_log AS date)));

-- Files every order of the order service's answer as a log_kalvoro row (see db/README.md).
CREATE FUNCTION o_kalvoro_log_ins(pjson text)
RETURNS TABLE (id_cmd_c uuid)
LANGUAGE plpgsql AS $$
BEGIN
    RAISE EXCEPTION 'o_kalvoro_log_ins nu este implementata in aceasta baza de date';
END $$;

-- Creates the Zelto client order document of one logged order and writes its date, type and
-- number into the order's log row; raises an error for an order it cannot take.
CREATE FUNCTION o_kalvoro_cmd_c_ins(pidorder uuid, pemitent text)
RETURNS TABLE (data_doc date, tip_doc varchar, nr_doc varchar)
LANGUAGE plpgsql AS $$
BEGIN
    RAISE EXCEPTION 'o_kalvoro_cmd_c_ins nu este implementata in aceasta baza de date';
END $$;

-- The tool's database user reads these tables, updates the order log and runs both functions.
DO $$
BEGIN
    IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'zelto') THEN
        GRANT SELECT ON emitent, aplicatie_mob, aplicatie_mob_emitent, eu, config_kalvoro,
                        log_kalvoro TO zelto;
        GRANT UPDATE (err_la_import, data_feedback) ON log_kalvoro TO zelto;
        GRANT EXECUTE ON FUNCTION o_kalvoro_log_ins(text), o_kalvoro_cmd_c_ins(uuid, text) TO zelto;
    END IF;
END $$;
