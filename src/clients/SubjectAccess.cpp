#include "clients/SubjectAccess.h"

#include "base/Error.h"
#include "base/NumberFormat.h"
#include "config/AppState.h"
#include "db/Kinds.h"
#include "db/AuditLog.h"
#include "db/Connection.h"
#include "platform/ZipArchive.h"
#include "ui/MessageBoxes.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QPageLayout>
#include <QPdfWriter>
#include <QStandardPaths>
#include <QTextDocument>



namespace qo {

namespace {

struct Caption {
    const char *column;
    const char *text;
};

const Caption kPersonCaptions[] = {
    {"ugyfel", "Ügyfélszám"},       {"ugyfel_nev", "Név"},          {"vnev", "Vezetéknév"},
    {"knev", "Keresztnév"},         {"kapcsolat", "Kapcsolattartó"}, {"telefon", "Telefon"},
    {"emil", "E-mail"},             {"honlap", "Honlap"},           {"cim_irsz", "Irányítószám"},
    {"cim_varos", "Város"},         {"cim_cim", "Cím"},             {"szuldatum", "Született"},
    {"dat_utolso", "Utoljára itt járt"}, {"dat_figyelmeztet", "Figyelmeztetés"}, {"csoport", "Csoport"},
    {"keret", "Keret"},             {"keretszam", "Keretszám"},     {"megjegyzes", "Megjegyzés"},
    {"torolve", "Törölve"},
};

QString esc(const QString &s)
{
    QString out = s.toHtmlEscaped();
    out.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
    out.replace(QLatin1Char('\n'), QLatin1String("<br>"));
    return out;
}

bool isMoneyColumn(const QString &c)
{
    return c.startsWith(QLatin1String("ar_")) || c == QLatin1String("eloleg") || c == QLatin1String("osszar")
        || c == QLatin1String("fizetendo");
}

QString money(const RowSet &rs, int r, const QString &col)
{
    if (rs.isNull(r, col))
        return QString();
    const QString mask = appState().FormatFt.isEmpty() ? QStringLiteral("### ### ##0") : appState().FormatFt;
    return FormatMask(rs.toDouble(r, col), mask) + QStringLiteral(" Ft");
}

QString dateText(const RowSet &rs, int r, const QString &col)
{
    const QDate d = rs.toDate(r, col);
    return d.isValid() ? d.toString(QStringLiteral("yyyy.MM.dd")) : rs.text(r, col);
}

// Every filled column of one row as "name: value" lines of a two-column table.
QString recordTable(const RowSet &rs, int r, const QStringList &skip = {})
{
    QString h = QStringLiteral("<table cellspacing=0 cellpadding=2>");
    for (int c = 0; c < rs.columnCount(); ++c) {
        const QString name = rs.field(c).name;
        if (skip.contains(name) || rs.isNull(r, c) || rs.text(r, c).trimmed().isEmpty())
            continue;
        const QString v = isMoneyColumn(name) ? money(rs, r, name)
            : rs.field(c).kind == RowSet::Kind::Date ? dateText(rs, r, name)
                                                      : rs.text(r, c);
        h += QStringLiteral("<tr><td width=140><i>%1</i></td><td>%2</td></tr>").arg(esc(name), esc(v));
    }
    return h + QStringLiteral("</table>");
}

QString listTable(const QStringList &heads, const QList<QStringList> &rows)
{
    QString h = QStringLiteral("<table border=1 cellspacing=0 cellpadding=3 width=100%><tr>");
    for (const QString &t : heads)
        h += QStringLiteral("<th align=left>%1</th>").arg(esc(t));
    h += QStringLiteral("</tr>");
    for (const QStringList &row : rows) {
        h += QStringLiteral("<tr>");
        for (const QString &v : row)
            h += QStringLiteral("<td>%1</td>").arg(esc(v));
        h += QStringLiteral("</tr>");
    }
    return h + QStringLiteral("</table>");
}

QString none() { return QStringLiteral("<p>Nincs adat.</p>"); }

QString html(const SubjectData &d, const QDate &day)
{
    QString h = QStringLiteral("<html><body>");
    h += QStringLiteral("<h1>Adatkikérés</h1>");
    h += QStringLiteral("<p><b>%1</b><br>%2<br>Dátum: %3</p>")
             .arg(esc(d.shopName), esc(d.shopAddress), day.toString(QStringLiteral("yyyy.MM.dd")));
    const QString name = d.person.rowCount() ? d.person.text(0, QStringLiteral("ugyfel_nev")) : QString();
    h += QStringLiteral("<p>Az ügyfélről (%1, ügyfélszám: %2) nyilvántartott összes adat.</p>").arg(esc(name)).arg(d.client);

    h += QStringLiteral("<h2>Ügyfél adatai</h2>");
    if (d.person.rowCount()) {
        h += QStringLiteral("<table cellspacing=0 cellpadding=2>");
        for (const Caption &c : kPersonCaptions) {
            const QString col = QLatin1String(c.column);
            const QString v = d.person.field(d.person.fieldIndex(col)).kind == RowSet::Kind::Date
                ? dateText(d.person, 0, col) : d.person.text(0, col);
            h += QStringLiteral("<tr><td width=140><i>%1</i></td><td>%2</td></tr>").arg(esc(QString::fromUtf8(c.text)), esc(v));
        }
        h += QStringLiteral("</table>");
    } else {
        h += none();
    }

    h += QStringLiteral("<h2>Receptek</h2>");
    QList<QStringList> rx;
    for (int r = 0; r < d.prescriptions.rowCount(); ++r) {
        const RowSet &p = d.prescriptions;
        const bool contact = p.text(r, QStringLiteral("recept")) == kPrescriptionKinds.back().captionText();
        auto labelled = [&](const char *label, const char *col) {
            const QString v = p.text(r, QLatin1String(col));
            return v.isEmpty() ? v : QLatin1String(label) + v;
        };
        rx << QStringList{p.text(r, QStringLiteral("recept")), p.text(r, QStringLiteral("oldal")),
                          p.text(r, QStringLiteral("sph")), p.text(r, QStringLiteral("cyl")), p.text(r, QStringLiteral("ax")),
                          contact ? labelled("BC ", "bc") : p.text(r, QStringLiteral("prism")),
                          contact ? labelled("DIA ", "dia") : p.text(r, QStringLiteral("pd"))};
    }
    h += rx.isEmpty() ? none()
                      : listTable({QStringLiteral("Recept"), QStringLiteral("Oldal"), QStringLiteral("Sph"), QStringLiteral("Cyl"),
                                   QStringLiteral("Ax"), QStringLiteral("Prism / BC"), QStringLiteral("Pd / DIA")}, rx);

    h += QStringLiteral("<h2>Korábbi receptek</h2>");
    QList<QStringList> states;
    for (int r = 0; r < d.prescriptionHistory.rowCount(); ++r) {
        const RowSet &p = d.prescriptionHistory;
        const bool contact = p.text(r, QStringLiteral("recept")) == kPrescriptionKinds.back().captionText();
        states << QStringList{p.text(r, QStringLiteral("recept")), p.text(r, QStringLiteral("oldal")),
                              p.text(r, QStringLiteral("sph")), p.text(r, QStringLiteral("cyl")), p.text(r, QStringLiteral("ax")),
                              p.text(r, contact ? QStringLiteral("bc") : QStringLiteral("prism")),
                              p.text(r, contact ? QStringLiteral("dia") : QStringLiteral("pd")),
                              p.toDateTime(r, p.fieldIndex(QStringLiteral("ervenyes"))).toString(QStringLiteral("yyyy.MM.dd HH:mm:ss")),
                              p.text(r, QStringLiteral("felhasznalo"))};
    }
    h += states.isEmpty() ? none()
                          : listTable({QStringLiteral("Recept"), QStringLiteral("Oldal"), QStringLiteral("Sph"),
                                       QStringLiteral("Cyl"), QStringLiteral("Ax"), QStringLiteral("Prism / BC"),
                                       QStringLiteral("Pd / DIA"), QStringLiteral("Érvényes"), QStringLiteral("Rögzítette")},
                                      states);

    h += QStringLiteral("<h2>Vizsgálatok</h2>");
    if (!d.examinations.rowCount())
        h += none();
    for (int r = 0; r < d.examinations.rowCount(); ++r) {
        h += QStringLiteral("<h3>Vizsgálat %1, %2</h3>")
                 .arg(d.examinations.toInt(r, QStringLiteral("vizsgalat")), 5, 10, QLatin1Char('0'))
                 .arg(dateText(d.examinations, r, QStringLiteral("datum")));
        h += recordTable(d.examinations, r, {QStringLiteral("vizsgalat"), QStringLiteral("ugyfel"), QStringLiteral("datum")});
    }

    h += QStringLiteral("<h2>Munkalapok</h2>");
    QList<QStringList> orders;
    for (int r = 0; r < d.workOrders.rowCount(); ++r) {
        const RowSet &w = d.workOrders;
        orders << QStringList{QStringLiteral("%1").arg(w.toInt(r, QStringLiteral("munkalap")), 5, 10, QLatin1Char('0')),
                              dateText(w, r, QStringLiteral("datum")), w.text(r, QStringLiteral("mlaptipus_nev")),
                              w.text(r, QStringLiteral("statusz_nev")), money(w, r, QStringLiteral("osszar")),
                              money(w, r, QStringLiteral("eloleg")), money(w, r, QStringLiteral("fizetendo")),
                              w.text(r, QStringLiteral("storno")) == QLatin1String("I") ? QStringLiteral("sztornó") : QString()};
    }
    if (orders.isEmpty()) {
        h += none();
    } else {
        h += listTable({QStringLiteral("Sorszám"), QStringLiteral("Dátum"), QStringLiteral("Típus"), QStringLiteral("Státusz"),
                        QStringLiteral("Össz ár"), QStringLiteral("Előleg"), QStringLiteral("Fizetendő"), QString()},
                       orders);
        for (int r = 0; r < d.workOrders.rowCount(); ++r) {
            h += QStringLiteral("<h3>Munkalap %1</h3>").arg(d.workOrders.toInt(r, QStringLiteral("munkalap")), 5, 10, QLatin1Char('0'));
            h += recordTable(d.workOrders, r, {QStringLiteral("munkalap"), QStringLiteral("ugyfel")});
        }
    }

    h += QStringLiteral("<h2>Hozzájárulások</h2>");
    QList<QStringList> consents;
    for (int r = 0; r < d.consents.rowCount(); ++r) {
        QString purpose = d.consents.text(r, 0);
        for (ContactPurpose p : kContactPurposes)
            if (PurposeCode(p) == purpose)
                purpose = PurposeCaption(p);
        consents << QStringList{purpose,
                                d.consents.text(r, 1) == QLatin1String("I") ? QStringLiteral("megadva") : QStringLiteral("visszavonva"),
                                d.consents.toDateTime(r, 2).toString(QStringLiteral("yyyy.MM.dd HH:mm")), d.consents.text(r, 3)};
    }
    h += consents.isEmpty() ? none()
                            : listTable({QStringLiteral("Cél"), QStringLiteral("Állapot"), QStringLiteral("Időpont"),
                                         QStringLiteral("Rögzítette")}, consents);

    h += QStringLiteral("<h2>Értesítések</h2>");
    QList<QStringList> told;
    for (int r = 0; r < d.notifications.rowCount(); ++r)
        told << QStringList{d.notifications.toDateTime(r, 0).toString(QStringLiteral("yyyy.MM.dd HH:mm")),
                            d.notifications.text(r, 1),
                            d.notifications.toDate(r, 2).toString(QStringLiteral("yyyy.MM.dd")) + QStringLiteral(" - ")
                                + d.notifications.toDate(r, 3).toString(QStringLiteral("yyyy.MM.dd")),
                            d.notifications.text(r, 4)};
    h += told.isEmpty() ? none()
                        : listTable({QStringLiteral("Időpont"), QStringLiteral("Csatorna"), QStringLiteral("Időszak"),
                                     QStringLiteral("Rögzítette")}, told);

    h += QStringLiteral("<h2>Naplóbejegyzések</h2>");
    QList<QStringList> log;
    for (int r = 0; r < d.auditLog.rowCount(); ++r)
        log << QStringList{d.auditLog.toDateTime(r, 0).toString(QStringLiteral("yyyy.MM.dd HH:mm:ss")), d.auditLog.text(r, 1),
                           d.auditLog.text(r, 2), d.auditLog.text(r, 3), d.auditLog.text(r, 4), d.auditLog.text(r, 5)};
    h += log.isEmpty() ? none()
                       : listTable({QStringLiteral("Időpont"), QStringLiteral("Felhasználó"), QStringLiteral("Tábla"),
                                    QStringLiteral("Kulcs"), QStringLiteral("Művelet"), QStringLiteral("Részlet")}, log);
    return h + QStringLiteral("</body></html>");
}

void csvValue(const QString &v, QByteArray &out)
{
    QString q = v;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    out += '"';
    out += q.toUtf8();
    out += '"';
}

} // namespace

QString SubjectAccessFileName(qint64 client, const QDate &day)
{
    return QStringLiteral("adatkikeres_%1_%2.zip").arg(client).arg(day.toString(QStringLiteral("yyyy-MM-dd")));
}

QByteArray SubjectAccessPdf(const SubjectData &data, const QDate &day)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                      QPageLayout::Millimeter));
        pdf.setResolution(300);
        pdf.setTitle(QStringLiteral("Adatkikérés"));
        pdf.setCreator(QStringLiteral("Quorvin.Opt"));
        QTextDocument doc;
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPointSizeF(9);
        doc.setDefaultFont(f);
        doc.setHtml(html(data, day));
        doc.print(&pdf);
    }
    buffer.close();
    if (bytes.isEmpty())
        throw Error(QStringLiteral("A PDF nem készíthető el"));
    return bytes;
}

QByteArray SubjectAccessCsv(const RowSet &rows)
{
    QByteArray out("\xEF\xBB\xBF");
    for (int c = 0; c < rows.columnCount(); ++c) {
        if (c)
            out += ';';
        csvValue(rows.field(c).name, out);
    }
    out += "\r\n";
    for (int r = 0; r < rows.rowCount(); ++r) {
        for (int c = 0; c < rows.columnCount(); ++c) {
            if (c)
                out += ';';
            if (!rows.isNull(r, c))
                csvValue(rows.text(r, c), out);
        }
        out += "\r\n";
    }
    return out;
}

void WriteSubjectAccessZip(const SubjectData &data, const QDate &day, const QString &path)
{
    // Every entry is made before the archive is opened, so a failure leaves nothing half written.
    WriteZip(path, {
        {QStringLiteral("adatkikeres.pdf"), SubjectAccessPdf(data, day), {}},
        {QStringLiteral("ugyfel.csv"), SubjectAccessCsv(data.person), {}},
        {QStringLiteral("receptek.csv"), SubjectAccessCsv(data.prescriptions), {}},
        {QStringLiteral("korabbi_receptek.csv"), SubjectAccessCsv(data.prescriptionHistory), {}},
        {QStringLiteral("vizsgalatok.csv"), SubjectAccessCsv(data.examinations), {}},
        {QStringLiteral("munkalapok.csv"), SubjectAccessCsv(data.workOrders), {}},
        {QStringLiteral("hozzajarulasok.csv"), SubjectAccessCsv(data.consents), {}},
        {QStringLiteral("ertesitesek.csv"), SubjectAccessCsv(data.notifications), {}},
        {QStringLiteral("naplo.csv"), SubjectAccessCsv(data.auditLog), {}},
    });
}

QString ExportSubjectAccess(qint64 client, QWidget *parent)
{
    if (client <= 0)
        return QString();
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QDir::homePath();
    const QDate today = QDate::currentDate();
    QFileDialog dlg(parent, QStringLiteral("Adatkikérés"), dir, QStringLiteral("ZIP fájl (*.zip)"));
    dlg.setObjectName(QStringLiteral("dlgAdatkikeres"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setDefaultSuffix(QStringLiteral("zip"));
    dlg.selectFile(SubjectAccessFileName(client, today));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    const QString path = dlg.selectedFiles().first();
    try {
        ClientPrivacy privacy(Connection::main());
        const SubjectData data = privacy.read(client);
        if (data.person.rowCount() == 0) {
            ShowError(QStringLiteral("Az ügyfél nem található (%1).").arg(client), parent);
            return QString();
        }
        WriteSubjectAccessZip(data, today, path);
        if (!AddAuditEvent(QString::fromLatin1(Audit::kDataRequest), QStringLiteral("ugyfel"), QString::number(client),
                           QStringLiteral("fájl: ") + QFileInfo(path).fileName()))
            ShowWarning(QStringLiteral("Az adatkikérés elkészült, de a naplóba nem került be."), parent);
    } catch (const Error &e) {
        ShowError(e.message().startsWith(QLatin1String("Hiba")) ? e.message() : QStringLiteral("Hiba: ") + e.message(), parent);
        return QString();
    }
    return path;
}

} // namespace qo
