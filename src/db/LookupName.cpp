#include "db/LookupName.h"

#include "base/Error.h"
#include "db/Connection.h"

namespace qo {

namespace {

struct NamedList {
    const char *table;
    const char *sql; // the key follows
};

constexpr NamedList kNamedLists[] = {
    {"ugyfel", "SELECT ugyfel_nev FROM ugyfel WHERE ugyfel = "},
    {"lencsemarka", "SELECT lencsemarka_nev FROM lencsemarka WHERE lencsemarka = "},
    {"keretmarka", "SELECT keretmarka_nev FROM keretmarka WHERE keretmarka = "},
    {"mlaptipus", "SELECT mlaptipus_nev FROM mlaptipus WHERE mlaptipus = "},
    {"statusz", "SELECT statusz_nev FROM statusz WHERE statusz = "},
    {"csoport", "SELECT csoport_nev FROM csoport WHERE csoport = "},
};

const NamedList *findList(const QString &table)
{
    for (const NamedList &l : kNamedLists)
        if (table == QLatin1String(l.table))
            return &l;
    return nullptr;
}

} // namespace

bool IsNamedList(const QString &table) { return findList(table) != nullptr; }

QString LookupName(qint64 key, const QString &table, const QString &def)
{
    const NamedList *list = findList(table);
    if (!list)
        throw Error(QStringLiteral("Ismeretlen névlista: ") + table);
    return SqlValue(QString::fromLatin1(list->sql) + QString::number(key) + QLatin1Char(';'), def);
}

} // namespace qo
