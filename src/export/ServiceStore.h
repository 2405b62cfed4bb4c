#pragma once
// The acknowledgements of the version notes and the news, kept in the shop
// settings row (beallit) so that they hold for every computer of the shop.
#include <QString>

namespace qo {

class Connection;

class ServiceStore {
public:
    explicit ServiceStore(Connection &c) : m_c(c) {}
    // The last acknowledged version: empty when NULL, ownVersion without a settings row.
    QString acknowledgedVersion(const QString &ownVersion);
    void acknowledgeVersion(const QString &version);   // every settings row
    int acknowledgedNews();                            // 0 when NULL or no row
    void acknowledgeNews(int id);                      // never lowers the stored id

private:
    Connection &m_c;
};

} // namespace qo
