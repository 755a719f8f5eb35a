#include "u_dmCon.h"

#include "BuildSettings.h"
#include "Obfuscated.h"

#include <QStringList>

TdmCon *dmCon = nullptr;

namespace {

using K = wik::db::FieldKind;

struct FieldSpec {
    const char *name;
    K kind;
    int size;
    bool required;
};

// The declared fields of the sign-in queries: opening a query fails unless the company
// database supplies every one of them with a compatible type, although the sign-in reads only
// whether rows came back. Text N is a wide string of N characters, long text a wide memo.
// dsEmitent: 65 fields
const FieldSpec dsEmitentFields[] = {
    {"emitent", K::WideString, 100, true},
    {"emitent_corect", K::WideString, 100, false},
    {"este_emitent", K::Boolean, 0, true},
    {"este_operator", K::Boolean, 0, true},
    {"este_comisionar", K::Boolean, 0, true},
    {"este_sofer", K::Boolean, 0, true},
    {"operator_parola", K::WideString, 256, false},
    {"cod_casier_pos", K::WideString, 10, false},
    {"banca_eu_default", K::WideString, 100, false},
    {"cont_banca_eu_default", K::WideString, 28, false},
    {"casa", K::WideString, 50, false},
    {"moneda", K::WideString, 3, false},
    {"magazie_sursa_default", K::WideString, 5, false},
    {"magazie_dest_default", K::WideString, 5, false},
    {"functie", K::WideString, 30, false},
    {"eu_punct_lucru", K::WideString, 50, true},
    {"com_int", K::WideString, 25, false},
    {"loc", K::WideString, 25, false},
    {"nr_obiect", K::WideString, 20, false},
    {"ci_nume", K::WideString, 30, false},
    {"ci_serie", K::WideString, 3, false},
    {"ci_nr", K::WideString, 25, false},
    {"ci_data_elib", K::Date, 0, false},
    {"ci_elib", K::WideString, 25, false},
    {"cnp", K::WideString, 25, false},
    {"transport_mijloc", K::WideString, 25, false},
    {"transport_nr", K::WideString, 25, false},
    {"da_nu_schimbare_pl", K::Boolean, 0, true},
    {"da_nu_adaugare_partener", K::Boolean, 0, true},
    {"da_nu_adaugare_articol", K::Boolean, 0, true},
    {"da_nu_acces_la_politica_pret", K::Boolean, 0, true},
    {"da_nu_modif_data_listare", K::Boolean, 0, true},
    {"da_nu_acces_limita_creditare", K::Boolean, 0, true},
    {"prez_of_stoc_fact_cl", K::Boolean, 0, true},
    {"prez_of_stoc_av_exp", K::Boolean, 0, true},
    {"prez_of_stoc_bte", K::Boolean, 0, true},
    {"prez_of_stoc_bc", K::Boolean, 0, true},
    {"pret_fact_cl_cu_tva", K::Boolean, 0, true},
    {"da_nu_fact_pe_calc", K::Boolean, 0, true},
    {"da_nu_modif_nr_fact_pe_calc", K::Boolean, 0, true},
    {"da_nu_fact_autocopy", K::Boolean, 0, true},
    {"da_nu_aviz_autocopy", K::Boolean, 0, true},
    {"da_nu_modif_data_livrare", K::Boolean, 0, true},
    {"nr_zile_prezentare_doc", K::Integer, 0, false},
    {"data_ins", K::Date, 0, true},
    {"da_nu_fact_ci_rosu", K::Boolean, 0, false},
    {"em_email_adr", K::WideString, 50, false},
    {"tel_fix", K::WideString, 30, false},
    {"tel_mobil", K::WideString, 30, false},
    {"proc_comisionar", K::Float, 0, false},
    {"em_outgoing_email_server", K::WideString, 50, false},
    {"em_outgoing_email_port", K::Integer, 0, false},
    {"em_outgoing_email_secure", K::Boolean, 0, true},
    {"em_outgoing_email_user", K::WideString, 50, false},
    {"em_outgoing_email_psw", K::WideString, 50, false},
    {"em_outlook", K::Boolean, 0, true},
    {"lang", K::WideString, 15, false},
    {"rol_web", K::WideString, 25, false},
    {"rol_win", K::WideString, 25, false},
    {"web_theme", K::WideString, 25, false},
    {"discontinued", K::Boolean, 0, true},
    {"data_export", K::DateTime, 0, false},
    {"data_import", K::DateTime, 0, false},
    {"vede_pret_stoc", K::Boolean, 0, false},
    {"da_nu_generare_op", K::Boolean, 0, true},
};

// dsAplicatieMob: 3 fields
const FieldSpec dsAplicatieMobFields[] = {
    {"aplicatie_mob", K::WideString, 100, true},
    {"activ", K::Boolean, 0, true},
    {"obs", K::WideMemo, 0, false},
};

// dsAplicatieMobEmitent: 3 fields
const FieldSpec dsAplicatieMobEmitentFields[] = {
    {"aplicatie_mob", K::WideString, 100, true},
    {"emitent", K::WideString, 100, true},
    {"rol", K::WideMemo, 0, false},
};

// dsEu: 117 fields
const FieldSpec dsEuFields[] = {
    {"cod_cci", K::WideString, 20, true},
    {"atribut_fiscal", K::WideString, 3, false},
    {"tip_societate", K::WideString, 20, false},
    {"reg_comert_jud", K::WideString, 5, false},
    {"reg_comert_nr", K::WideString, 7, false},
    {"reg_comert_data", K::Date, 0, false},
    {"reg_comert_jud_suc", K::WideString, 5, false},
    {"reg_comert_nr_suc", K::WideString, 7, false},
    {"reg_comert_data_suc", K::Date, 0, false},
    {"cnp_a", K::WideString, 13, false},
    {"eu", K::WideString, 100, false},
    {"eu_sediu", K::WideString, 30, false},
    {"data_incep_activitate", K::Date, 0, true},
    {"trezoreria", K::WideString, 100, false},
    {"trezoreria_cont", K::WideString, 28, false},
    {"data_gen_fact", K::Date, 0, false},
    {"tara", K::WideString, 3, true},
    {"localit", K::WideString, 30, true},
    {"adresa", K::WideString, 100, true},
    {"telefon", K::WideString, 50, false},
    {"fax", K::WideString, 50, false},
    {"email_adr", K::WideString, 50, false},
    {"web_adr", K::WideString, 50, false},
    {"nr_insp_munca", K::WideString, 15, false},
    {"nr_pers_hand_suta_ang", K::Float, 0, false},
    {"da_nu_modif_ore_prez", K::Boolean, 0, false},
    {"da_nu_dimin_avans_cu_ret", K::Boolean, 0, false},
    {"formula_calcul_co", K::WideString, 30, false},
    {"proc_avans_co", K::Float, 0, false},
    {"formula_calcul_avans_q", K::WideString, 30, false},
    {"formula_calcul_penalitati", K::Integer, 0, false},
    {"proc_avans", K::Float, 0, false},
    {"rotunjire_avans", K::Integer, 0, false},
    {"rotunjire_lichidare", K::Integer, 0, false},
    {"proc_diminuare_bugetari", K::Float, 0, false},
    {"nr_autorizatie_alcool", K::WideString, 30, false},
    {"metoda_stoc", K::WideString, 4, true},
    {"da_nu_scadere_stoc_in_viitor", K::Boolean, 0, true},
    {"da_nu_impozit_profit", K::Boolean, 0, true},
    {"da_nu_nevoi_firma", K::Boolean, 0, true},
    {"da_nu_platitor_tva_in_vama", K::Boolean, 0, false},
    {"proc_impozit_profit", K::Float, 0, false},
    {"proc_deductibilitate", K::Float, 0, false},
    {"prez_of_stoc_fact_cl", K::Boolean, 0, true},
    {"da_nu_postcalcul", K::Boolean, 0, true},
    {"prez_of_stoc_av_exp", K::Boolean, 0, true},
    {"prez_of_stoc_bte", K::Boolean, 0, true},
    {"prez_of_stoc_bc", K::Boolean, 0, true},
    {"pret_fact_cl_cu_tva", K::Boolean, 0, true},
    {"pret_nir_cu_tva", K::Boolean, 0, true},
    {"pret_cmd_client_cu_tva", K::Boolean, 0, true},
    {"da_nu_tva_neexigibil", K::Boolean, 0, true},
    {"da_nu_list_fact_pr_ctl", K::Boolean, 0, true},
    {"da_nu_list_fact_neop_stoc", K::Boolean, 0, true},
    {"da_nu_bon_pe_calc", K::Boolean, 0, true},
    {"da_nu_cmd_pe_extrasb", K::Boolean, 0, true},
    {"da_nu_fact_pe_calc", K::Boolean, 0, true},
    {"da_nu_fact_autocopy", K::Boolean, 0, true},
    {"da_nu_aviz_autocopy", K::Boolean, 0, true},
    {"da_nu_nir_in_mag_dest", K::Boolean, 0, true},
    {"tip_contabilitate", K::WideString, 20, true},
    {"da_nu_politica_pret_punct_lucru", K::Boolean, 0, true},
    {"da_nu_nota_c_fara_restrictie", K::Boolean, 0, true},
    {"da_nu_mon_cont_tip_doc", K::Boolean, 0, true},
    {"data_denominare", K::Date, 0, true},
    {"da_nu_balanta_pe_obiective", K::Boolean, 0, true},
    {"da_nu_rezervare_stoc", K::Boolean, 0, true},
    {"da_nu_contare_avz_c", K::Boolean, 0, true},
    {"da_nu_contare_nirad", K::Boolean, 0, true},
    {"norma", K::Float, 0, true},
    {"data_avans", K::Date, 0, false},
    {"data_lichidare", K::Date, 0, false},
    {"strada", K::WideString, 50, false},
    {"nr_strada", K::WideString, 10, false},
    {"bloc", K::WideString, 10, false},
    {"scara", K::WideString, 5, false},
    {"etaj", K::WideString, 5, false},
    {"apt", K::WideString, 5, false},
    {"sector", K::WideString, 1, false},
    {"cod_postal_adresa", K::WideString, 6, false},
    {"sup_eu_denumire", K::WideString, 100, false},
    {"sup_eu_cui", K::WideString, 13, false},
    {"eu_cui", K::WideString, 13, false},
    {"eu_cif", K::WideString, 13, false},
    {"eu_reprezentant_legal", K::WideString, 100, false},
    {"val_limita_casa_lei", K::Float, 0, false},
    {"proc_penaliz_intirziere", K::Float, 0, false},
    {"cod_forma_proprietate", K::Float, 0, false},
    {"cod_forma_organizare", K::Float, 0, false},
    {"cod_tip_societate", K::Float, 0, false},
    {"cod_caen", K::WideString, 6, false},
    {"cod_siruta", K::Float, 0, false},
    {"tip_administrare_soc", K::WideString, 50, false},
    {"capital_social", K::WideString, 100, false},
    {"da_nu_autoinchidere_cmd_client", K::Boolean, 0, true},
    {"da_nu_autoinchidere_cmd_furn", K::Boolean, 0, true},
    {"da_nu_institutie_publica", K::Boolean, 0, true},
    {"casa_asig_sanatate", K::WideString, 2, false},
    {"nr_licenta_turism", K::WideString, 20, false},
    {"da_nu_balanta_pe_subunitati", K::Boolean, 0, true},
    {"da_nu_b_casa_stoc", K::Boolean, 0, true},
    {"da_nu_b_casa_articol", K::Boolean, 0, true},
    {"da_nu_salarii_in_postcalcul", K::Boolean, 0, true},
    {"da_nu_turism_in_comision", K::Boolean, 0, true},
    {"da_nu_confirmare_comanda", K::Boolean, 0, true},
    {"da_nu_micro_intreprindere", K::Boolean, 0, true},
    {"da_nu_tva_nededus_cont_separat", K::Boolean, 0, true},
    {"jas_ip", K::WideMemo, 0, false},
    {"jas_ip_ext", K::WideMemo, 0, false},
    {"mod_plata_tva", K::WideString, 20, false},
    {"gln", K::WideString, 13, false},
    {"reges_cod_tip_angajator", K::WideString, 20, false},
    {"reges_cod_forma_organizare", K::WideString, 70, false},
    {"reges_cod_forma_juridica", K::WideString, 48, false},
    {"reges_cod_tip_societate", K::WideString, 30, false},
    {"reges_cod_forma_proprietate", K::WideString, 8, false},
    {"reges_cod_act_id_pf", K::WideString, 25, false},
};

template <std::size_t N>
wik::db::PgQuery *makeQuery(QObject *owner, const char *name, wik::db::PgConnection *connection,
                            const QStringList &lines, const FieldSpec (&fields)[N]) {
    auto *q = new wik::db::PgQuery(owner);
    q->setObjectName(QString::fromLatin1(name));
    q->setConnection(connection);
    q->setSql(lines.join(u'\n'));
    // every parameter of the sign-in is a text value
    for (int i = 0; i < q->params().count(); ++i)
        q->params().at(i).setDataType(K::WideString);
    for (const FieldSpec &f : fields)
        q->addField({QString::fromLatin1(f.name), f.kind, f.size, f.required, false});
    return q;
}

wik::db::PgConnection *makeConnection(QObject *owner, const char *name) {
    auto *c = new wik::db::PgConnection(owner);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

} // namespace

TdmCon::TdmCon(QObject *parent) : QObject(parent) {
    setObjectName(QStringLiteral("dmCon"));

    conZelto = makeConnection(this, "conZelto");
    conZelto->setUsername(QString::fromUtf8(buildsettings::dbUser));
    conZelto->setPassword(QString::fromStdString(
        wik::unscramble(buildsettings::companyPasswordBytes, buildsettings::companyPasswordSeed)));
    conZelto->setSslMode(wik::db::SslMode::Require);
    conZelto->setDisconnected(true);

    conZeltoMob = makeConnection(this, "conZeltoMob");
    conZeltoMob->setServer(QString::fromUtf8(buildsettings::catalogHost));
    conZeltoMob->setPort(buildsettings::catalogPort);
    conZeltoMob->setDatabase(QStringLiteral("zelto_mob"));
    conZeltoMob->setUsername(QString::fromUtf8(buildsettings::dbUser));
    conZeltoMob->setPassword(QString::fromStdString(
        wik::unscramble(buildsettings::catalogPasswordBytes, buildsettings::catalogPasswordSeed)));
    conZeltoMob->setSslMode(wik::db::SslMode::Require);
    conZeltoMob->setDisconnected(false);

    dsEmitent = makeQuery(this, "dsEmitent", conZelto,
                          {"select *", "from emitent", "where emitent = :pEmitent",
                           "  and operator_parola = :pP", ";"},
                          dsEmitentFields);
    dsAplicatieMob = makeQuery(this, "dsAplicatieMob", conZelto,
                               {"select *", "from aplicatie_mob",
                                "where lower(aplicatie_mob) = lower(:pAplicatieMob)", "  and activ", ";"},
                               dsAplicatieMobFields);
    dsAplicatieMobEmitent = makeQuery(this, "dsAplicatieMobEmitent", conZelto,
                                      {"select *", "from aplicatie_mob_emitent", "where emitent = :pEmitent",
                                       "  and lower(aplicatie_mob) = lower(:pAplicatieMob)", ";"},
                                      dsAplicatieMobEmitentFields);
    dsEu = makeQuery(this, "dsEu", conZelto, {"select *", "from eu", ";"}, dsEuFields);
}

TdmCon::~TdmCon() = default;
