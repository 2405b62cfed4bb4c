#include "db/AuditLog.h"
#include "db/Connection.h"
#include "db/SqlText.h"

#include <QRegularExpression>
#include <QtDebug>

namespace qo {

namespace {

// A statement or list text may be long; the log keeps its beginning.
constexpr int kMaxDetail = 200000;

QString nullable(const QString &s) { return s.isNull() ? QStringLiteral("NULL") : SqlQuote(s); }

// A statement that sets a password keeps its shape in the log, not its texts.
QString withoutSecrets(const QString &statement)
{
    static const QRegularExpression secret(QStringLiteral("jelszo|password|identified"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression literal(QStringLiteral("'(?:[^'\\\\]|\\\\.|'')*'|\"(?:[^\"\\\\]|\\\\.|\"\")*\""));
    if (!secret.match(statement).hasMatch())
        return statement;
    QString s = statement;
    s.replace(literal, QStringLiteral("'***'"));
    return s;
}

} // namespace

bool AddAuditEvent(Connection &db, const QString &muvelet, const QString &tabla, const QString &kulcs,
                   const QString &reszlet)
{
    bool numeric = false;
    const qint64 client = kulcs.trimmed().toLongLong(&numeric);
    const QString clientValue = tabla == QLatin1String("ugyfel") && numeric ? QString::number(client)
                                                                              : QStringLiteral("NULL");
    const QString sql = QStringLiteral(
        "INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet) VALUES "
        "(NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), %1, %2, %3, %4, %5)")
                            .arg(nullable(tabla.left(64)), nullable(kulcs.left(100)), clientValue,
                                 SqlQuote(muvelet.left(20)),
                                 nullable((muvelet == QLatin1String(Audit::kSql) ? withoutSecrets(reszlet) : reszlet)
                                              .left(kMaxDetail)));
    try {
        db.exec(sql);
        return true;
    } catch (const Error &e) {
        qWarning("naplo: %s", qPrintable(e.message()));
        return false;
    }
}

bool AddAuditEvent(const QString &muvelet, const QString &tabla, const QString &kulcs, const QString &reszlet)
{
    return AddAuditEvent(Connection::main(), muvelet, tabla, kulcs, reszlet);
}

} // namespace qo
