#include "clients/ClientPrintouts.h"

#include "clients/ClientStore.h"
#include "db/Connection.h"
#include "reports/ClientListPrintout.h"
#include "reports/EnvelopePrintout.h"
#include "reports/ExaminationPrintout.h"
#include "reports/RegisteredMailPrintout.h"

namespace qo {

namespace {

ClientStore store() { return ClientStore(Connection::main()); }

} // namespace

BandReport BuildExaminationPrintout(qint64 examination, bool a5)
{
    return BuildExaminationPrintout(store().examinationPrintout(examination), a5);
}

void PrintExamination(qint64 examination, bool print, QWidget *parent)
{
    PrintExamination(store().examinationPrintout(examination), print, parent);
}

BandReport BuildEnvelope(qint64 client) { return BuildEnvelope(store().envelope(client)); }

void PrintEnvelope(qint64 client, QWidget *parent) { PrintEnvelope(store().envelope(client), parent); }

BandReport BuildRegisteredMailForm(qint64 client)
{
    ClientStore s = store();
    return BuildRegisteredMailForm(s.shopPostalAddress(), s.postalAddress(client));
}

void PrintRegisteredMailForm(qint64 client, QWidget *parent)
{
    ClientStore s = store();
    PrintRegisteredMailForm(s.shopPostalAddress(), s.postalAddress(client), parent);
}

BandReport BuildClientListPrintout(const QString &clientQuery)
{
    return BuildClientListPrintout(store().listRows(clientQuery));
}

void PrintClientList(bool print, const QString &clientQuery, QWidget *parent)
{
    PrintClientList(print, store().listRows(clientQuery), parent);
}

} // namespace qo
