// qo_demogen: prints SQL (UTF-8) that fills a freshly created shop database
// with made-up but plausible shop data: clients with all four prescriptions,
// examinations, lens and frame brands and two years of work orders in every
// status. The output is the same for the same parameters and --today date.
//
//   qo_demogen [--size small|medium|large] [--clients N] [--orders M]
//              [--exams K] [--seed S] [--today yyyy-mm-dd] | mariadb DBNAME
//
// Keys are written explicitly (1..N), so the target must be a fresh database
// made from shop.sql. Rows go out as multi-row INSERTs of 1000 rows, in
// transactions, with unique and foreign-key checks off while loading.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

// splitmix64: small, fast and the same on every platform and library (the
// standard distributions are not), so a seed always gives the same data.
class Rng {
public:
    explicit Rng(uint64_t seed) : m_s(seed) {}
    uint64_t next()
    {
        uint64_t z = (m_s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 <= result < n
    int below(int n) { return n <= 0 ? 0 : int((next() >> 11) % uint64_t(n)); }
    // lo <= result <= hi
    int range(int lo, int hi) { return lo + below(hi - lo + 1); }
    double unit() { return double(next() >> 11) / double(1ull << 53); }
    bool chance(double p) { return unit() < p; }
    // Roughly normal: the sum of four uniforms, centred, scaled to sd.
    double gauss(double mean, double sd)
    {
        const double s = unit() + unit() + unit() + unit() - 2.0;
        return mean + s * sd * 1.7320508; // the sum has variance 1/3
    }
    template <typename T, size_t N> const T &pick(const T (&a)[N]) { return a[below(int(N))]; }

private:
    uint64_t m_s;
};

// ---------------------------------------------------------------------------
// Word lists
// ---------------------------------------------------------------------------

const char *const kFamily[] = {
    "Nagy", "Kovács", "Tóth", "Szabó", "Horváth", "Varga", "Kiss", "Molnár", "Németh", "Farkas",
    "Balogh", "Papp", "Takács", "Juhász", "Lakatos", "Mészáros", "Oláh", "Simon", "Rácz", "Fekete",
    "Szilágyi", "Török", "Fehér", "Balázs", "Gál", "Kis", "Szűcs", "Kocsis", "Pintér", "Fodor",
    "Szalai", "Sipos", "Magyar", "Lukács", "Gulyás", "Bíró", "Király", "László", "Katona", "Jakab",
    "Bogdán", "Sándor", "Boros", "Fazekas", "Kelemen", "Antal", "Orosz", "Somogyi", "Fülöp", "Veres",
    "Budai", "Vincze", "Hegedűs", "Deák", "Pap", "Bálint", "Illés", "Pál", "Vörös", "Erdős",
    "Szőke", "Bodnár", "Hajdú", "Halász", "Márton", "Vass", "Székely", "Lengyel", "Csonka", "Ördög",
    "Újvári", "Győri", "Szekeres", "Benkő", "Kozma", "Major", "Mohácsi", "Dudás", "Barta", "Csizmadia",
};
const char *const kMale[] = {
    "László", "István", "József", "János", "Zoltán", "Sándor", "Gábor", "Ferenc", "Attila", "Péter",
    "Tamás", "Zsolt", "Tibor", "András", "Csaba", "Imre", "Lajos", "György", "Balázs", "Róbert",
    "Mihály", "Béla", "Dávid", "Gergő", "Ádám", "Dániel", "Máté", "Bence", "Levente", "Áron",
    "Ödön", "Győző", "Örs", "Kristóf", "Márk", "Norbert", "Endre", "Károly", "Miklós", "Gyula",
};
const char *const kFemale[] = {
    "Mária", "Erzsébet", "Katalin", "Ilona", "Éva", "Anna", "Zsuzsanna", "Margit", "Judit", "Ágnes",
    "Andrea", "Erika", "Krisztina", "Irén", "Eszter", "Mónika", "Edit", "Gabriella", "Szilvia", "Anita",
    "Csilla", "Tímea", "Ildikó", "Rózsa", "Viktória", "Dóra", "Réka", "Fanni", "Lilla", "Zsófia",
    "Boglárka", "Hanna", "Luca", "Nóra", "Orsolya", "Enikő", "Emőke", "Piroska", "Gizella", "Júlia",
};

struct Town {
    const char *irsz;
    const char *varos;
    const char *area; // telephone area code
    int weight;
};
// Postal codes that the shop script puts into irsz.
const Town kTowns[] = {
    {"1011", "Budapest", "1", 3}, {"1024", "Budapest", "1", 3}, {"1036", "Budapest", "1", 3},
    {"1042", "Budapest", "1", 3}, {"1052", "Budapest", "1", 3}, {"1065", "Budapest", "1", 3},
    {"1073", "Budapest", "1", 3}, {"1084", "Budapest", "1", 3}, {"1092", "Budapest", "1", 3},
    {"1106", "Budapest", "1", 3}, {"1114", "Budapest", "1", 4}, {"1122", "Budapest", "1", 3},
    {"1134", "Budapest", "1", 4}, {"1145", "Budapest", "1", 3}, {"1152", "Budapest", "1", 3},
    {"1163", "Budapest", "1", 3}, {"1173", "Budapest", "1", 3}, {"1183", "Budapest", "1", 3},
    {"1192", "Budapest", "1", 3}, {"1203", "Budapest", "1", 3}, {"1213", "Budapest", "1", 3},
    {"1221", "Budapest", "1", 3}, {"1238", "Budapest", "1", 2},
    {"4024", "Debrecen", "52", 4}, {"4031", "Debrecen", "52", 3}, {"6720", "Szeged", "62", 4},
    {"6724", "Szeged", "62", 3}, {"3525", "Miskolc", "46", 4}, {"3530", "Miskolc", "46", 2},
    {"7621", "Pécs", "72", 4}, {"7632", "Pécs", "72", 2}, {"9021", "Győr", "96", 4},
    {"9024", "Győr", "96", 2}, {"4400", "Nyíregyháza", "42", 4}, {"6000", "Kecskemét", "76", 4},
    {"8000", "Székesfehérvár", "22", 4}, {"9700", "Szombathely", "94", 3}, {"5000", "Szolnok", "56", 3},
    {"2800", "Tatabánya", "34", 3}, {"7400", "Kaposvár", "82", 3}, {"2030", "Érd", "23", 3},
    {"8200", "Veszprém", "88", 3}, {"5600", "Békéscsaba", "66", 3}, {"8900", "Zalaegerszeg", "92", 3},
    {"9400", "Sopron", "99", 3}, {"3300", "Eger", "36", 3}, {"8800", "Nagykanizsa", "93", 2},
    {"2400", "Dunaújváros", "25", 2}, {"6800", "Hódmezővásárhely", "62", 2}, {"3100", "Salgótarján", "32", 2},
    {"2700", "Cegléd", "53", 2}, {"6500", "Baja", "79", 2}, {"2600", "Vác", "27", 2},
    {"2100", "Gödöllő", "28", 2}, {"7100", "Szekszárd", "74", 2}, {"2500", "Esztergom", "33", 2},
    {"2040", "Budaörs", "23", 2}, {"2000", "Szentendre", "26", 2}, {"2120", "Dunakeszi", "27", 2},
    {"8600", "Siófok", "84", 2}, {"8360", "Keszthely", "83", 1}, {"5700", "Gyula", "66", 1},
    {"3200", "Gyöngyös", "37", 1}, {"9200", "Mosonmagyaróvár", "96", 1}, {"8500", "Pápa", "89", 1},
    {"2890", "Tata", "34", 1}, {"7700", "Mohács", "69", 1}, {"9730", "Kőszeg", "94", 1},
    {"2151", "Fót", "27", 1}, {"2092", "Budakeszi", "23", 1}, {"3950", "Sárospatak", "47", 1},
};

const char *const kStreets[] = {
    "Fő utca", "Kossuth Lajos utca", "Petőfi Sándor utca", "Rákóczi út", "Ady Endre utca",
    "Arany János utca", "Széchenyi tér", "Dózsa György út", "Jókai Mór utca", "Béke utca",
    "Vörösmarty utca", "Bajcsy-Zsilinszky út", "Deák Ferenc utca", "Táncsics Mihály utca",
    "Hunyadi János utca", "Szent István út", "Kölcsey Ferenc utca", "Damjanich utca", "Bem József utca",
    "Rózsa utca", "Virág utca", "Tavasz utca", "Erkel Ferenc utca", "Liszt Ferenc utca",
    "Bartók Béla út", "Wesselényi utca", "Thököly út", "Jászai Mari tér", "Határ út", "Űrhajós utca",
    "Öntöde utca", "Ibolya utca", "Szőlő utca", "Diófa utca", "Malom köz", "Temető sor",
};
const char *const kMailDomains[] = {"example.com", "example.net", "example.org", "mail.example.com"};
const char *const kGroups[] = {"Törzsvásárló", "Nyugdíjas", "Diák", "Céges ügyfél"};
const char *const kLensBrands[] = {
    "Lumivex", "Optarion", "Klarvisio", "Vizorin", "Perlinea", "Aurelis Optik", "Tiszafény",
    "Balatonlux", "Mátravis", "Hegyalja Lencse", "Fényhíd", "Sasszem", "Csillám Optik",
    "Napsugár Lencse", "Zafírlencse",
};
const char *const kFrameBrands[] = {
    "Fenyvesi Design", "Lagúna", "Bronzella", "Titánia Keret", "Pillangó", "Urbanix", "Szélrózsa",
    "Karbonix", "Velvetta", "Nordika", "Boróka", "Kaméleon", "Delfin Keret", "Ezüsthíd", "Monoklix",
};
const char *const kLensTypes[] = {
    "CR39 1.5 HMC", "1.6 ASZFÉRIKUS SHMC", "1.67 KÉKFÉNYSZŰRŐS", "1.5 FOTOKROM", "1.6 FOTOKROM HMC",
    "POLIKARBONÁT HMC", "1.74 SHMC", "1.5 NAPSZEMÜVEG BARNA",
};
const char *const kSpecialLensTypes[] = {
    "PROGRESSZÍV 1.5 HMC", "PROGRESSZÍV 1.6 SHMC", "BIFOKÁLIS 1.5", "IRODAI DEGRESSZÍV 1.6",
    "MONITOROS 1.5 KÉKFÉNYSZŰRŐS",
};
const char *const kContactTypes[] = {
    "HAVI SZILIKON-HIDROGÉL", "NAPI EGYSZER HASZNÁLATOS", "TÓRIKUS HAVI", "KÉTHETES", "MULTIFOKÁLIS HAVI",
};
const char *const kFrameTypes[] = {
    "FÉM TELIKERET", "MŰANYAG TELIKERET", "DAMILOS FÉLKERET", "FÚRT KERET NÉLKÜLI", "TITÁN TELIKERET",
    "ACETÁT TELIKERET", "GYERMEKKERET", "SPORTKERET",
};
const char *const kOrderNotes[] = {
    "Sürgős!", "Telefonon értesíteni, ha kész.", "Régi keretbe.", "Kártyával fizet.",
    "Az orrtámaszt cserélni kell.", "Számlát kér cégnévre.", "Délután viszi el.",
};
const char *const kClientNotes[] = {
    "Cukorbeteg, évente ellenőrizni.", "Zöld hályog miatt kezelik.", "Csak délután ér rá.",
    "Nagyothall, hangosan beszéljünk!", "Könnyen megbotlik, a lépcsőnél segíteni.",
    "Első szemüvege.", "Számítógép előtt dolgozik napi 8 órát.", "Hivatásos gépkocsivezető.",
};
const char *const kAnamnesis[] = {
    "Távolra homályosan lát.\nEsténként fejfájás.", "Olvasáshoz rövid a karja.",
    "Régi szemüvege eltört.", "Vezetéskor éjjel káprázik.",
    "Számítógép előtt hamar elfárad a szeme, ég, könnyezik.\nNapi 8-10 óra képernyő.",
    "Kontaktlencsét szeretne sportoláshoz.", "Szemüvege gyenge, a tábla olvasása nehéz az iskolában.",
    "Cukorbeteg, a látása ingadozik.", "Rutin ellenőrzés.", "Kettős látás fáradtan, főleg este, olvasás közben és vezetéskor.",
};
const char *const kDiagnosis[] = {
    "Myopia simplex.", "Hypermetropia.", "Presbyopia.", "Astigmatismus myopicus compositus.",
    "Astigmatismus hypermetropicus.", "Myopia, presbyopia.", "Anisometropia.",
    "Presbyopia, hypermetropia.\nSzemorvosi kontroll javasolt.",
    "Kis fokú myopia, korrekció csak távolra. Fél év múlva kontroll, a monitoros munkához szünetek.",
};

// ---------------------------------------------------------------------------
// Output
// ---------------------------------------------------------------------------

// Writes statements to stdout, grouping every 20 of them in one transaction.
class Out {
public:
    ~Out()
    {
        commit();
        flush();
    }
    void statement(std::string_view sql)
    {
        if (m_inTxn == 0)
            add("START TRANSACTION;\n");
        add(sql);
        add(";\n");
        if (++m_inTxn == 20)
            commit();
    }
    void commit()
    {
        if (m_inTxn)
            add("COMMIT;\n");
        m_inTxn = 0;
    }
    void add(std::string_view s)
    {
        m_buf.append(s);
        if (m_buf.size() > (1u << 20))
            flush();
    }
    void flush()
    {
        if (!m_buf.empty() && std::fwrite(m_buf.data(), 1, m_buf.size(), stdout) != m_buf.size()) {
            std::perror("qo_demogen");
            std::exit(1);
        }
        m_buf.clear();
    }

private:
    std::string m_buf;
    int m_inTxn = 0;
};

// One table's rows as INSERT statements of up to 1000 rows each.
class Batch {
public:
    Batch(Out &out, std::string head) : m_out(out), m_head(std::move(head)) {}
    ~Batch() { finish(); }
    // The text to append the new row's values to (its "(" is already there).
    std::string &row()
    {
        if (m_rows == 0) {
            m_stmt = m_head;
            m_stmt += " VALUES\n(";
        } else {
            m_stmt += ",\n(";
        }
        return m_stmt;
    }
    void endRow()
    {
        m_stmt += ')';
        if (++m_rows == 1000)
            finish();
    }
    void finish()
    {
        if (m_rows)
            m_out.statement(m_stmt);
        m_rows = 0;
    }

private:
    Out &m_out;
    std::string m_head;
    std::string m_stmt;
    int m_rows = 0;
};

// Appends a quoted text. Only the single quote needs care: the generated texts
// hold no backslashes, and a raw line break is fine inside a literal.
void q(std::string &s, std::string_view v)
{
    s += '\'';
    for (char c : v) {
        if (c == '\'')
            s += '\'';
        s += c;
    }
    s += '\'';
}
void sep(std::string &s)
{
    if (s.back() != '(')
        s += ',';
}
void col(std::string &s, std::string_view v) { sep(s); q(s, v); }
void colNull(std::string &s) { sep(s); s += "NULL"; }
void colOpt(std::string &s, const std::string &v) { v.empty() ? colNull(s) : col(s, v); }
void colInt(std::string &s, long long v) { sep(s); s += std::to_string(v); }
void colIntOrNull(std::string &s, long long v) { v > 0 ? colInt(s, v) : colNull(s); }
void colDouble(std::string &s, double v)
{
    sep(s);
    char b[32];
    auto r = std::to_chars(b, b + sizeof b, v); // shortest text that reads back as the same double
    s.append(b, r.ptr);
}
void colDate(std::string &s, const QDate &d)
{
    sep(s);
    if (!d.isValid()) {
        s += "NULL";
        return;
    }
    char b[16];
    std::snprintf(b, sizeof b, "'%04d-%02d-%02d'", d.year(), d.month(), d.day());
    s += b;
}

// ---------------------------------------------------------------------------
// Optical values, in the editors' format: sign, two decimals, decimal comma.
// ---------------------------------------------------------------------------

std::string diopter(int hundredths)
{
    char b[16];
    const int a = hundredths < 0 ? -hundredths : hundredths;
    std::snprintf(b, sizeof b, "%c%d,%02d", hundredths < 0 ? '-' : '+', a / 100, a % 100);
    return b;
}
// A value with one decimal, written as is ("8,6", "14,2", "31,5", "1,0").
std::string tenths(int v)
{
    char b[16];
    std::snprintf(b, sizeof b, "%d,%d", v / 10, v % 10);
    return b;
}

struct Eye {
    int16_t sph = 0, cyl = 0, ax = 0, pd = 0; // sph, cyl in 1/100 D; pd in 1/10 mm
};
struct Prescription {
    bool filled = false;
    Eye r, l;
};
struct ContactLens {
    bool filled = false;
    Eye r, l;                 // pd unused
    int16_t bc = 0, dia = 0;  // 1/10 mm
};
struct Client {
    Prescription tavol, kozel, egyeb;
    ContactLens k;
    int age = 40;
    bool deleted = false;
};

int quarter(double d) { return int(d * 4.0 + (d < 0 ? -0.5 : 0.5)) * 25; }

Eye makeEye(Rng &rng, double baseSph, int cyl, int ax, int pd)
{
    Eye e;
    e.sph = int16_t(quarter(baseSph + rng.gauss(0, 0.3)));
    e.cyl = int16_t(cyl);
    e.ax = int16_t(ax);
    e.pd = int16_t(pd);
    return e;
}

// ---------------------------------------------------------------------------
// Generator
// ---------------------------------------------------------------------------

struct Params {
    int clients = 300, orders = 900, exams = 150;
    uint64_t seed = 20230044;
    QDate today;
};

std::string asciiLower(std::string_view utf8)
{
    // Hungarian accented letters, both cases, to plain lower-case letters.
    static const struct { const char *from; char to; } map[] = {
        {"á", 'a'}, {"é", 'e'}, {"í", 'i'}, {"ó", 'o'}, {"ö", 'o'}, {"ő", 'o'}, {"ú", 'u'}, {"ü", 'u'}, {"ű", 'u'},
        {"Á", 'a'}, {"É", 'e'}, {"Í", 'i'}, {"Ó", 'o'}, {"Ö", 'o'}, {"Ő", 'o'}, {"Ú", 'u'}, {"Ü", 'u'}, {"Ű", 'u'},
    };
    std::string r;
    for (size_t i = 0; i < utf8.size();) {
        bool done = false;
        for (const auto &m : map) {
            const std::string_view f(m.from);
            if (utf8.substr(i, f.size()) == f) {
                r += m.to;
                i += f.size();
                done = true;
                break;
            }
        }
        if (done)
            continue;
        const char c = utf8[i++];
        if (c >= 'A' && c <= 'Z')
            r += char(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            r += c;
    }
    return r;
}

std::string mobile(Rng &rng)
{
    static const char *const nets[] = {"30", "20", "70", "30", "20"};
    char b[40];
    if (rng.chance(0.6))
        std::snprintf(b, sizeof b, "+36 %s %03d %04d", rng.pick(nets), rng.range(100, 999), rng.range(0, 9999));
    else
        std::snprintf(b, sizeof b, "06 %s %03d %04d", rng.pick(nets), rng.range(100, 999), rng.range(0, 9999));
    return b;
}
std::string landline(Rng &rng, const Town &t)
{
    char b[40];
    if (std::string_view(t.area) == "1")
        std::snprintf(b, sizeof b, "+36 1 %03d %04d", rng.range(200, 499), rng.range(0, 9999));
    else
        std::snprintf(b, sizeof b, "+36 %s %03d %03d", t.area, rng.range(200, 599), rng.range(0, 999));
    return b;
}

// "Imre" -> "Imréné", "Gyula" -> "Gyuláné", "László" -> "Lászlóné".
std::string wifeOf(std::string_view husband)
{
    std::string r(husband);
    if (!r.empty() && r.back() == 'a')
        r.replace(r.size() - 1, 1, "á");
    else if (!r.empty() && r.back() == 'e')
        r.replace(r.size() - 1, 1, "é");
    return r + "né";
}

const Town &pickTown(Rng &rng)
{
    static int total = 0;
    if (!total)
        for (const Town &t : kTowns)
            total += t.weight;
    int x = rng.below(total);
    for (const Town &t : kTowns) {
        if (x < t.weight)
            return t;
        x -= t.weight;
    }
    return kTowns[0];
}

class Generator {
public:
    Generator(const Params &p) : m_p(p), m_rng(p.seed) {}
    void run();

private:
    void header();
    void masterData();
    void clients();
    void prescriptions();
    void prescriptionHistory();
    void examinations();
    void orders();
    void footer();
    QDate daysAgo(int d) const { return m_p.today.addDays(-d); }

    Params m_p;
    Rng m_rng;
    Out m_out;
    std::vector<Client> m_clients;
};

void Generator::run()
{
    header();
    masterData();
    clients();
    prescriptions();
    prescriptionHistory();
    examinations();
    orders();
    footer();
}

void Generator::header()
{
    m_out.add("-- Quorvin.Opt demo data; load into a database freshly made from shop.sql.\n"
              "SET NAMES utf8mb4;\n"
              "SET @qo_old_unique_checks = @@unique_checks, @qo_old_fk_checks = @@foreign_key_checks;\n"
              "SET unique_checks = 0;\n"
              "SET foreign_key_checks = 0;\n");
}

void Generator::footer()
{
    m_out.commit();
    m_out.add("SET unique_checks = @qo_old_unique_checks;\n"
              "SET foreign_key_checks = @qo_old_fk_checks;\n");
}

void Generator::masterData()
{
    m_out.statement("UPDATE tulajdonos SET tulajdonos = 'Tiszta Látás Optika Kft.', telefon = '+36 1 234 5678',"
              " mobil = '+36 30 123 4567', fax = NULL, irsz = '1052', varos = 'Budapest',"
              " cim = 'Deák Ferenc utca 7.', adoszam = '12345678241', bankszamlaszam = '11700000-20000000',"
              " ugyvez = 'Fekete Judit'");
    m_out.statement("UPDATE beallit SET mlapmegj = 'Köszönjük, hogy nálunk csináltatta szemüvegét!\nNyitva: H-P 9-18, Szo 9-13.'");
    m_out.statement("INSERT INTO felhasznalo (felhasznalo, felhasznalo_nev, jelszo, rendszergazda, torzsszerkeszt, canins, canedit, candel) VALUES\n"
              "('kata', 'Kiss Katalin', 'kata', 'N', 'I', 'I', 'I', 'N'),\n"
              "('peter', 'Tóth Péter', 'peter', 'N', 'N', 'I', 'I', 'N')");
    m_out.statement("INSERT INTO uzenet (szoveg, link, csakegyszer, olvasva) VALUES\n"
              "('Üdvözöljük a bemutató adatbázisban! Az adatok kitaláltak.', NULL, 'I', 'N')");
    {
        Batch b(m_out, "INSERT INTO csoport (csoport, csoport_nev)");
        int k = 0;
        for (const char *g : kGroups) {
            std::string &s = b.row();
            colInt(s, ++k);
            col(s, g);
            b.endRow();
        }
    }
    {
        Batch b(m_out, "INSERT INTO lencsemarka (lencsemarka, lencsemarka_nev)");
        int k = 0;
        for (const char *n : kLensBrands) {
            std::string &s = b.row();
            colInt(s, ++k);
            col(s, n);
            b.endRow();
        }
    }
    {
        Batch b(m_out, "INSERT INTO keretmarka (keretmarka, keretmarka_nev)");
        int k = 0;
        for (const char *n : kFrameBrands) {
            std::string &s = b.row();
            colInt(s, ++k);
            col(s, n);
            b.endRow();
        }
    }
}

void Generator::clients()
{
    m_clients.resize(size_t(m_p.clients) + 1);
    Batch b(m_out, "INSERT INTO ugyfel (ugyfel, ugyfel_nev, vnev, knev, kapcsolat, telefon, emil, honlap,"
                   " cim_irsz, cim_varos, cim_cim, torolve, dat_utolso, dat_figyelmeztet, csoport,"
                   " megjegyzes, keret, keretszam, szuldatum)");
    Rng &r = m_rng;
    for (int id = 1; id <= m_p.clients; ++id) {
        Client &c = m_clients[size_t(id)];
        const bool female = r.chance(0.55);
        const std::string fam = r.pick(kFamily);
        std::string given = female ? r.pick(kFemale) : r.pick(kMale);
        if (r.chance(0.12)) {
            const std::string second = female ? r.pick(kFemale) : r.pick(kMale);
            if (second != given)
                given += " " + second;
        }
        // Age: children to the very old, most clients 40 to 75.
        c.age = r.chance(0.12) ? r.range(6, 17) : r.chance(0.7) ? r.range(40, 80) : r.range(18, 92);
        std::string name;
        if (female && c.age > 50 && r.chance(0.2)) // married name in the traditional form
            name = std::string(r.pick(kFamily)) + " " + wifeOf(r.pick(kMale));
        else
            name = fam + " " + given;
        if (c.age > 30 && r.chance(0.02))
            name = "Dr. " + name;
        const Town &t = pickTown(r);

        const QDate born = m_p.today.addDays(-(c.age * 365 + r.below(365)));
        char birth[16];
        std::snprintf(birth, sizeof birth, "%04d.%02d.%02d", born.year(), born.month(), born.day());

        std::string phone;
        const int kind = r.below(10);
        if (kind < 6)
            phone = mobile(r);
        else if (kind < 8)
            phone = landline(r, t);
        else if (kind < 9)
            phone = mobile(r) + ", " + landline(r, t);
        std::string mail;
        if (c.age >= 14 && r.chance(c.age < 65 ? 0.65 : 0.3))
            mail = asciiLower(fam) + (r.chance(0.5) ? "." : "") + asciiLower(given.substr(0, given.find(' ')))
                + (r.chance(0.4) ? std::to_string(r.range(1, 99)) : "") + "@" + r.pick(kMailDomains);
        char addr[80];
        const int house = r.range(1, 120);
        if (r.chance(0.35))
            std::snprintf(addr, sizeof addr, "%s %d. %d. em. %d.", r.pick(kStreets), house, r.range(1, 10), r.range(1, 40));
        else
            std::snprintf(addr, sizeof addr, "%s %d.", r.pick(kStreets), house);

        c.deleted = r.chance(0.02);
        std::string &s = b.row();
        colInt(s, id);
        col(s, name);
        col(s, fam);
        col(s, given);
        if (c.age < 14)
            col(s, std::string(fam) + " " + (r.chance(0.6) ? r.pick(kFemale) : r.pick(kMale)) + " (szülő)");
        else
            colNull(s);
        colOpt(s, phone);
        colOpt(s, mail);
        colNull(s);
        col(s, t.irsz);
        col(s, t.varos);
        col(s, addr);
        col(s, c.deleted ? "I" : "N");
        colDate(s, r.chance(0.9) ? daysAgo(r.range(0, 3 * 365)) : QDate());
        // Reminders: some due already or today, some later, most none.
        const int rem = r.below(100);
        colDate(s, rem < 6 ? daysAgo(r.range(1, 60)) : rem < 7 ? m_p.today
                 : rem < 15 ? m_p.today.addDays(r.range(1, 365)) : QDate());
        if (r.chance(0.3))
            colInt(s, c.age >= 62 ? 2 : c.age < 24 ? 3 : r.chance(0.8) ? 1 : 4);
        else
            colNull(s);
        r.chance(0.08) ? col(s, r.pick(kClientNotes)) : colNull(s);
        if (r.chance(0.3)) {
            col(s, r.pick(kFrameBrands));
            char ks[24];
            std::snprintf(ks, sizeof ks, "K-%05d", r.range(100, 99999));
            col(s, ks);
        } else {
            colNull(s);
            colNull(s);
        }
        col(s, birth);
        b.endRow();
    }
}

// Every client gets the eight side rows; the values follow the client's age.
void Generator::prescriptions()
{
    Rng &r = m_rng;
    for (int id = 1; id <= m_p.clients; ++id) {
        Client &c = m_clients[size_t(id)];
        const double base = c.age < 18 ? r.gauss(-1.5, 1.5) : r.gauss(-0.5, 2.2);
        const int cylR = r.chance(0.5) ? 0 : -25 * r.range(1, 10);
        const int cylL = r.chance(0.5) ? 0 : -25 * r.range(1, 10);
        const int axR = cylR ? 5 * r.range(0, 36) : 0;
        const int axL = cylL ? 5 * r.range(0, 36) : 0;
        const int pd = 5 * r.range(56, 68); // monocular pupil distance, 28,0 to 34,0 mm
        c.tavol.filled = true;
        c.tavol.r = makeEye(r, base, cylR, axR, pd);
        c.tavol.l = makeEye(r, base, cylL, axL, pd + (r.chance(0.3) ? 5 : 0));
        if (c.age >= 42) {
            const int add = std::min(300, 75 + 25 * ((c.age - 42) / 3));
            c.kozel.filled = true;
            c.kozel.r = c.tavol.r;
            c.kozel.l = c.tavol.l;
            c.kozel.r.sph = int16_t(c.kozel.r.sph + add);
            c.kozel.l.sph = int16_t(c.kozel.l.sph + add);
            c.kozel.r.pd = int16_t(c.kozel.r.pd - 15);
            c.kozel.l.pd = int16_t(c.kozel.l.pd - 15);
            if (r.chance(0.3)) { // office / progressive lenses
                c.egyeb = c.tavol;
                c.egyeb.r.sph = int16_t(c.egyeb.r.sph + add / 2 / 25 * 25);
                c.egyeb.l.sph = int16_t(c.egyeb.l.sph + add / 2 / 25 * 25);
            }
        }
        if (c.age >= 14 && c.age < 55 && r.chance(0.25)) {
            c.k.filled = true;
            c.k.r = c.tavol.r;
            c.k.l = c.tavol.l;
            c.k.r.pd = c.k.l.pd = 0;
            c.k.bc = int16_t(r.range(84, 88));
            c.k.dia = int16_t(r.range(138, 145));
        }
    }

    static const char *const side[] = {"", "Jobb", "Bal"};
    auto spectacles = [&](const char *table, Prescription Client::*which) {
        Batch b(m_out, std::string("INSERT INTO ") + table + " (ugyfel, kulcs, oldal, sph, cyl, ax, prism, pd)");
        for (int id = 1; id <= m_p.clients; ++id) {
            const Prescription &p = m_clients[size_t(id)].*which;
            for (int k = 1; k <= 2; ++k) {
                const Eye &e = k == 1 ? p.r : p.l;
                std::string &s = b.row();
                colInt(s, id);
                colInt(s, k);
                col(s, side[k]);
                if (p.filled) {
                    col(s, diopter(e.sph));
                    e.cyl ? col(s, diopter(e.cyl)) : colNull(s);
                    e.cyl ? col(s, std::to_string(e.ax)) : colNull(s);
                    colNull(s);
                    col(s, tenths(e.pd));
                } else {
                    for (int i = 0; i < 5; ++i)
                        colNull(s);
                }
                b.endRow();
            }
        }
    };
    spectacles("ugyfel_sz_tavol", &Client::tavol);
    spectacles("ugyfel_sz_kozel", &Client::kozel);
    spectacles("ugyfel_sz_egyeb", &Client::egyeb);

    Batch b(m_out, "INSERT INTO ugyfel_k (ugyfel, kulcs, oldal, sph, cyl, gorb, ax, bc, dia)");
    for (int id = 1; id <= m_p.clients; ++id) {
        const ContactLens &p = m_clients[size_t(id)].k;
        for (int k = 1; k <= 2; ++k) {
            const Eye &e = k == 1 ? p.r : p.l;
            std::string &s = b.row();
            colInt(s, id);
            colInt(s, k);
            col(s, side[k]);
            if (p.filled) {
                col(s, diopter(e.sph));
                e.cyl ? col(s, diopter(e.cyl)) : colNull(s);
                colNull(s);
                e.cyl ? col(s, std::to_string(e.ax)) : colNull(s);
                col(s, tenths(p.bc));
                col(s, tenths(p.dia));
            } else {
                for (int i = 0; i < 6; ++i)
                    colNull(s);
            }
            b.endRow();
        }
    }
}

// Earlier states of the prescriptions (recept_elozmeny). The triggers wrote
// each current state as valid from the moment of loading; they are replaced
// by the current state dated in the past and, for spectacles, one to three
// earlier states before it, as a shop collects them over the years: the
// myopia grows, the cylinder and axis move a little, now and then only one
// side is changed, and a few states hold a wrong sign or axis that was
// corrected at the next save. A random stream of its own keeps every other
// demo row as it was.
void Generator::prescriptionHistory()
{
    Rng r(m_p.seed ^ 0x52454345505445ull);
    m_out.statement("DELETE FROM recept_elozmeny");
    static const char *const users[] = {"kata", "peter", "rendszergazda"};
    static const char *const side[] = {"", "Jobb", "Bal"};
    Batch b(m_out, "INSERT INTO recept_elozmeny (ugyfel, fajta, kulcs, oldal, sph, cyl, ax, prism, pd, gorb, bc, dia, "
                   "ervenyes, felhasznalo)");
    auto moment = [&](const QDate &day) {
        char t[32];
        std::snprintf(t, sizeof t, "%04d-%02d-%02d %02d:%02d:%02d", day.year(), day.month(), day.day(), r.range(9, 17),
                      r.range(0, 59), r.range(0, 59));
        return std::string(t);
    };
    auto row = [&](int id, const char *kind, int k, const Eye &e, const ContactLens *lens, const std::string &when,
                   const char *user) {
        std::string &s = b.row();
        colInt(s, id);
        col(s, kind);
        colInt(s, k);
        col(s, side[k]);
        col(s, diopter(e.sph));
        e.cyl ? col(s, diopter(e.cyl)) : colNull(s);
        e.cyl ? col(s, std::to_string(e.ax)) : colNull(s);
        colNull(s);
        lens ? colNull(s) : col(s, tenths(e.pd));
        colNull(s);
        lens ? col(s, tenths(lens->bc)) : colNull(s);
        lens ? col(s, tenths(lens->dia)) : colNull(s);
        col(s, when);
        col(s, user);
        b.endRow();
    };
    for (int id = 1; id <= m_p.clients; ++id) {
        const Client &c = m_clients[size_t(id)];
        const std::pair<const char *, const Prescription *> kinds[] = {
            {"TAVOL", &c.tavol}, {"KOZEL", &c.kozel}, {"EGYEB", &c.egyeb}};
        for (const auto &[kind, p] : kinds) {
            if (!p->filled)
                continue;
            // Newest first while they are made: the current state, then each one before.
            std::vector<Prescription> states{*p};
            const int earlier = kind == kinds[0].first ? r.range(1, 3) : r.range(0, 2);
            for (int i = 0; i < earlier; ++i) {
                Prescription before = states.back();
                for (Eye *e : {&before.r, &before.l}) {
                    if (e->sph < 0)
                        e->sph = int16_t(std::min(0, e->sph + 25 * r.range(0, 2)));
                    else
                        e->sph = int16_t(std::max(0, e->sph - 25 * r.range(0, 1)));
                    if (e->cyl && r.chance(0.3))
                        e->cyl = int16_t(std::min(-25, e->cyl + 25));
                    if (e->cyl && r.chance(0.3))
                        e->ax = int16_t((e->ax + 5 * r.range(-2, 2) + 180) % 180);
                }
                if (r.chance(0.03)) // a wrong sign, corrected by the next save
                    before.r.sph = int16_t(-before.r.sph);
                else if (before.r.cyl && r.chance(0.03)) // an axis off by a right angle
                    before.r.ax = int16_t((before.r.ax + 90) % 180);
                states.push_back(before);
            }
            std::vector<std::string> when(states.size());
            QDate day = daysAgo(r.range(20, 900));
            for (size_t i = 0; i < states.size(); ++i) {
                when[i] = moment(day);
                day = day.addDays(-r.range(300, 1100));
            }
            for (size_t i = states.size(); i-- > 0;) {
                const char *user = users[r.below(3)];
                const bool oneSide = i + 1 < states.size() && states[i].l.sph == states[i + 1].l.sph
                    && states[i].l.cyl == states[i + 1].l.cyl && states[i].l.ax == states[i + 1].l.ax;
                row(id, kind, 1, states[i].r, nullptr, when[i], user);
                if (!oneSide)
                    row(id, kind, 2, states[i].l, nullptr, when[i], user);
            }
        }
        if (c.k.filled) {
            const std::string when = moment(daysAgo(r.range(20, 900)));
            const char *user = users[r.below(3)];
            row(id, "KONTAKT", 1, c.k.r, &c.k, when, user);
            row(id, "KONTAKT", 2, c.k.l, &c.k, when, user);
        }
    }
}

void Generator::examinations()
{
    Rng &r = m_rng;
    Batch b(m_out,
            "INSERT INTO vizsgalat (vizsgalat, ugyfel, datum,"
            " jobbsph1, jobbcyl1, jobbax1, jobbfpd1, jobbadd1, jobbprism1, jobbegyeb1,"
            " balsph1, balcyl1, balax1, balfpd1, baladd1, balprism1, balegyeb1,"
            " jobbsph2, jobbcyl2, jobbax2, jobbbcmin2, jobbbcmax2, jobbbcatl2, jobbefpd2,"
            " balsph2, balcyl2, balax2, balbcmin2, balbcmax2, balbcatl2, balefpd2,"
            " jobbnyersv3, jobbsph3, jobbcyl3, jobbax3, jobbfpd3, jobbadd3, jobbprism3, jobbegyeb3,"
            " balnyersv3, balsph3, balcyl3, balax3, balfpd3, baladd3, balprism3, balegyeb3,"
            " jobbkorrv3, balkorv3, anamnezis, diagnozis, torolve)");
    // Dates spread over three years, in key order like a real shop's.
    std::vector<int> ages(size_t(m_p.exams));
    for (int &a : ages)
        a = r.range(0, 3 * 365);
    std::sort(ages.begin(), ages.end(), std::greater<int>());
    for (int id = 1; id <= m_p.exams; ++id) {
        const int cid = r.range(1, m_p.clients);
        const Client &c = m_clients[size_t(cid)];
        const int add = c.kozel.filled ? c.kozel.r.sph - c.tavol.r.sph : 0;
        std::string &s = b.row();
        colInt(s, id);
        colInt(s, cid);
        colDate(s, daysAgo(ages[size_t(id - 1)]));
        // 1: the spectacles worn (a little weaker than needed)
        for (const Eye *e : {&c.tavol.r, &c.tavol.l}) {
            if (r.chance(0.8)) {
                col(s, diopter(e->sph - (e->sph < 0 ? -25 : 25) * r.range(0, 2)));
                e->cyl ? col(s, diopter(e->cyl)) : colNull(s);
                e->cyl ? col(s, std::to_string(e->ax)) : colNull(s);
                col(s, tenths(e->pd));
                add ? col(s, diopter(add - 25 * r.range(0, 2))) : colNull(s);
                colNull(s);
                colNull(s);
            } else {
                for (int i = 0; i < 7; ++i)
                    colNull(s);
            }
        }
        // 2: refractometer / keratometer readings
        for (const Eye *e : {&c.tavol.r, &c.tavol.l}) {
            col(s, diopter(e->sph + 25 * r.range(-1, 1)));
            col(s, diopter(e->cyl ? e->cyl + 25 * r.range(-1, 0) : -25 * r.range(0, 1)));
            col(s, std::to_string(e->cyl ? e->ax : 5 * r.range(0, 36)));
            const int bmin = r.range(760, 800);
            const int bmax = bmin + r.range(0, 30);
            col(s, diopter(bmin));
            col(s, diopter(bmax));
            col(s, diopter((bmin + bmax) / 2));
            col(s, std::to_string(2 * e->pd / 10));
        }
        // 3: results: uncorrected acuity, the prescription, add
        static const char *const visus[] = {"0,1", "0,2", "0,3", "0,4", "0,5", "0,6", "0,8", "1,0"};
        for (const Eye *e : {&c.tavol.r, &c.tavol.l}) {
            col(s, visus[std::max(0, 7 - std::abs(e->sph) / 50)]);
            col(s, diopter(e->sph));
            e->cyl ? col(s, diopter(e->cyl)) : colNull(s);
            e->cyl ? col(s, std::to_string(e->ax)) : colNull(s);
            col(s, tenths(e->pd));
            add ? col(s, diopter(add)) : colNull(s);
            colNull(s);
            colNull(s);
        }
        col(s, r.chance(0.8) ? "1,0" : "0,8");
        col(s, r.chance(0.8) ? "1,0" : "0,8");
        col(s, r.pick(kAnamnesis));
        col(s, r.pick(kDiagnosis));
        col(s, r.chance(0.02) ? "I" : "N");
        b.endRow();
    }
}

void Generator::orders()
{
    Rng &r = m_rng;
    const int nLens = int(std::size(kLensBrands)), nFrame = int(std::size(kFrameBrands));
    Batch b(m_out,
            "INSERT INTO munkalap (munkalap, mlaptipus, ugyfel, datum, dat_hatid, dat_kesz, statusz,"
            " keretmarka, kerettipus, lencsemarka, tipus,"
            " jobbsph, jobbcyl, jobbax, jobbpd, jobbprism, jobbegyeb,"
            " balsph, balcyl, balax, balpd, balprism, balegyeb,"
            " ar_keret, ar_jobb, ar_bal, ar_adaptalas, szoveg_adaptalas, ar_szinezes, szoveg_szinezes,"
            " ar_egyeb1, szoveg_egyeb1, ar_egyeb2, szoveg_egyeb2, ar_kedvezmeny, szoveg_kedvezmeny,"
            " keretszazalek, lencseszazalek, eloleg, osszar, fizetendo, megj, storno)");
    Batch log(m_out, "INSERT INTO statusz_naplo (munkalap, statusz, felhasznalo_nev, idopont)");
    static const char *const staff[] = {"Rendszergazda", "Kiss Katalin", "Tóth Péter"};
    auto logRow = [&](int id, int st, const QDate &d) {
        std::string &s = log.row();
        colInt(s, id);
        colInt(s, st);
        col(s, r.pick(staff));
        char t[40];
        std::snprintf(t, sizeof t, ",'%04d-%02d-%02d %02d:%02d:%02d'", d.year(), d.month(), d.day(),
                      r.range(9, 17), r.range(0, 59), r.range(0, 59));
        s += t;
        log.endRow();
    };

    std::vector<int> byKind[5];
    for (int id = 1; id <= m_p.clients; ++id) {
        const Client &c = m_clients[size_t(id)];
        if (c.kozel.filled)
            byKind[2].push_back(id);
        if (c.egyeb.filled)
            byKind[3].push_back(id);
        if (c.k.filled)
            byKind[4].push_back(id);
    }

    // Two years of orders, oldest first, so keys follow the dates.
    std::vector<int> ages(size_t(m_p.orders));
    for (int &a : ages)
        a = r.range(0, 2 * 365);
    std::sort(ages.begin(), ages.end(), std::greater<int>());

    for (int id = 1; id <= m_p.orders; ++id) {
        const int age = ages[size_t(id - 1)];
        const QDate datum = daysAgo(age);
        // The kind first, then a client who has that kind of prescription.
        const int t = r.below(100);
        int type = t < 55 ? 1 : t < 75 ? 2 : t < 85 ? 3 : 4;
        const std::vector<int> &who = byKind[size_t(type)];
        if (who.empty())
            type = 1;
        const int cid = type == 1 ? r.range(1, m_p.clients) : who[size_t(r.below(int(who.size())))];
        const Client &c = m_clients[size_t(cid)];

        // Status by age: recent orders are still in the shop, old ones collected.
        int st = 3;
        if (age <= 7)
            st = r.chance(0.8) ? 1 : 2;
        else if (age <= 21)
            st = r.chance(0.4) ? 1 : r.chance(0.5) ? 2 : 3;
        else if (age <= 90)
            st = r.chance(0.02) ? 1 : r.chance(0.08) ? 2 : 3;
        else
            st = r.chance(0.01) ? 2 : 3;
        QDate kesz;
        QDate ready;
        if (st >= 2) {
            ready = datum.addDays(std::min(age, r.range(1, 8)));
            kesz = st == 2 ? ready : ready.addDays(std::min(int(ready.daysTo(m_p.today)), r.range(0, 20)));
        }
        const bool storno = r.chance(0.03);

        // Items and prices (forints)
        int lens = 0, frame = 0;
        double arKeret = 0, arJobb = 0, arBal = 0;
        std::string lensType, frameType;
        if (type == 4) {
            lens = r.range(1, nLens);
            lensType = r.pick(kContactTypes);
            arJobb = arBal = 1000.0 * r.range(3, 15) - (r.chance(0.5) ? 10 : 0);
        } else {
            lens = r.range(1, nLens);
            lensType = type == 3 ? r.pick(kSpecialLensTypes) : r.pick(kLensTypes);
            const int lensBase = type == 3 ? r.range(25, 95) : r.range(4, 40);
            arJobb = arBal = 1000.0 * lensBase - (r.chance(0.6) ? 100 : 0);
            if (r.chance(0.1))
                arBal = arJobb + 1000.0 * r.range(1, 5); // a stronger left lens costs more
            if (r.chance(0.92)) {
                frame = r.range(1, nFrame);
                frameType = r.pick(kFrameTypes);
                arKeret = 1000.0 * r.range(8, 80) - (r.chance(0.7) ? 100 : 0);
            } else {
                frameType = "SAJÁT KERET";
            }
        }
        const double keretSz = frame && r.chance(0.2) ? 10.0 * r.range(1, 5) : 0;
        const double lencseSz = r.chance(0.15) ? 5.0 * r.range(1, 4) : 0;
        const double adapt = type != 4 && r.chance(0.4) ? 500.0 * r.range(4, 10) : 0;
        const double vizsg = r.chance(0.3) ? 500.0 * r.range(6, 12) : 0;
        const double egyeb1 = type != 4 && r.chance(0.15) ? 100.0 * r.range(5, 20) : 0;
        const double egyeb2 = r.chance(0.1) ? 100.0 * r.range(10, 40) : 0;
        const double kedv = r.chance(0.12) ? -500.0 * r.range(2, 10) : 0;
        // The work-order editor's calculation, step by step.
        double lenses = arBal + arJobb;
        lenses = lenses - lenses * (lencseSz / 100);
        const double frameNet = arKeret - arKeret * (keretSz / 100);
        double sum = frameNet + lenses;
        sum = sum + adapt;
        sum = sum + vizsg;
        sum = sum + egyeb1;
        sum = sum + egyeb2;
        const double osszar = sum - std::abs(kedv);
        const double eloleg = r.chance(0.6) ? 1000.0 * int(osszar * (0.2 + 0.3 * r.unit()) / 1000) : 0;
        const double fizetendo = osszar - eloleg;

        std::string &s = b.row();
        colInt(s, id);
        colInt(s, type);
        colInt(s, cid);
        colDate(s, datum);
        colDate(s, datum.addDays(r.chance(0.8) ? 7 : r.range(3, 21)));
        colDate(s, kesz);
        colInt(s, st);
        colIntOrNull(s, frame);
        colOpt(s, frameType);
        colIntOrNull(s, lens);
        col(s, lensType);
        auto eyeCols = [&](const Eye &e, int bc, int dia) {
            col(s, diopter(e.sph));
            e.cyl ? col(s, diopter(e.cyl)) : colNull(s);
            e.cyl ? col(s, std::to_string(e.ax)) : colNull(s);
            if (type == 4) { // contact lenses: diameter in pd, base curve in prism
                col(s, tenths(dia));
                col(s, tenths(bc));
            } else {
                col(s, tenths(e.pd));
                colNull(s);
            }
            colNull(s);
        };
        const Prescription &p = type == 2 ? c.kozel : type == 3 ? c.egyeb : c.tavol;
        eyeCols(type == 4 ? c.k.r : p.r, c.k.bc, c.k.dia);
        eyeCols(type == 4 ? c.k.l : p.l, c.k.bc, c.k.dia);
        colDouble(s, arKeret);
        colDouble(s, arJobb);
        colDouble(s, arBal);
        colDouble(s, adapt);
        adapt ? col(s, "Csiszolás, beállítás") : colNull(s);
        colDouble(s, vizsg);
        vizsg ? col(s, "Szemvizsgálat") : colNull(s);
        colDouble(s, egyeb1);
        egyeb1 ? col(s, r.chance(0.5) ? "UHT bevonat" : "Orrtámasz csere") : colNull(s);
        colDouble(s, egyeb2);
        egyeb2 ? col(s, r.chance(0.5) ? "Tok" : "Tisztítófolyadék") : colNull(s);
        colDouble(s, kedv);
        kedv ? col(s, c.age >= 62 ? "Nyugdíjas kedvezmény" : "Törzsvásárlói kedvezmény") : colNull(s);
        colDouble(s, keretSz);
        colDouble(s, lencseSz);
        colDouble(s, eloleg);
        colDouble(s, osszar);
        colDouble(s, fizetendo);
        r.chance(0.1) ? col(s, r.pick(kOrderNotes)) : colNull(s);
        col(s, storno ? "I" : "N");
        b.endRow();

        if (st >= 2)
            logRow(id, 2, ready);
        if (st == 3)
            logRow(id, 3, kesz);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qo_demogen"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Prints demo data for a fresh Quorvin.Opt shop database as SQL."));
    parser.addHelpOption();
    const QCommandLineOption size(QStringLiteral("size"), QStringLiteral("small, medium or large"), QStringLiteral("size"));
    const QCommandLineOption clients(QStringLiteral("clients"), QStringLiteral("number of clients"), QStringLiteral("n"));
    const QCommandLineOption orders(QStringLiteral("orders"), QStringLiteral("number of work orders"), QStringLiteral("n"));
    const QCommandLineOption exams(QStringLiteral("exams"), QStringLiteral("number of examinations"), QStringLiteral("n"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("random seed"), QStringLiteral("n"));
    const QCommandLineOption today(QStringLiteral("today"), QStringLiteral("the day the data ends (yyyy-mm-dd)"),
                                   QStringLiteral("date"));
    parser.addOptions({size, clients, orders, exams, seed, today});
    parser.process(app);

    Params p;
    const QString sz = parser.value(size);
    if (sz == QLatin1String("medium")) {
        p.clients = 5000; p.orders = 15000; p.exams = 2500;
    } else if (sz == QLatin1String("large")) {
        p.clients = 100000; p.orders = 300000; p.exams = 50000;
    } else if (!sz.isEmpty() && sz != QLatin1String("small")) {
        std::fprintf(stderr, "qo_demogen: unknown size '%s' (small, medium or large)\n", qPrintable(sz));
        return 2;
    }
    auto number = [&](const QCommandLineOption &o, int &target, int min) {
        if (!parser.isSet(o))
            return true;
        bool ok = false;
        const int v = parser.value(o).toInt(&ok);
        if (!ok || v < min) {
            std::fprintf(stderr, "qo_demogen: --%s needs a whole number of at least %d\n",
                         qPrintable(o.names().first()), min);
            return false;
        }
        target = v;
        return true;
    };
    int seedValue = int(p.seed);
    if (!number(clients, p.clients, 1) || !number(orders, p.orders, 0) || !number(exams, p.exams, 0)
        || !number(seed, seedValue, 0))
        return 2;
    p.seed = uint64_t(seedValue);
    p.today = parser.isSet(today) ? QDate::fromString(parser.value(today), Qt::ISODate) : QDate::currentDate();
    if (!p.today.isValid()) {
        std::fprintf(stderr, "qo_demogen: --today needs a date as yyyy-mm-dd\n");
        return 2;
    }
    Generator(p).run();
    return 0;
}
