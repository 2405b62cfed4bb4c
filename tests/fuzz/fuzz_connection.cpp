// Stored connections: the scrambling gives back every byte, a record's six
// fields survive the record, and storing one connection into any
// configuration file gives it back exactly and leaves the others as they were.
#include "FuzzCheck.h"
#include "base/Codec.h"
#include "config/Config.h"
#include "config/StoredConnections.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fuzzer/FuzzedDataProvider.h>

using namespace qo;

namespace {

QString configFile()
{
    static const QString path = [] {
        static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/qo-fuzz-XXXXXX")
                                                                           : QDir::tempPath() + QStringLiteral("/qo-fuzz-XXXXXX"));
        QFile(dir.filePath(QStringLiteral("QuorvinOpt.ini"))).open(QIODevice::WriteOnly);
        initFolders(dir.path()); // the file lies beside the "program"
        return ConfigFile();
    }();
    return path;
}

QString cp1250Text(const std::string &bytes)
{
    return fromCp1250(QByteArray::fromStdString(bytes));
}

// Text the configuration file holds as it is: code page letters only.
bool storable(const QString &t)
{
    return !t.contains(QChar::ReplacementCharacter) && fromCp1250(toCp1250(t)) == t;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const QByteArray secret = QByteArray::fromStdString(in.ConsumeRandomLengthString(80));
    const QString record = cp1250Text(in.ConsumeRandomLengthString(120));
    const int n = in.ConsumeIntegralInRange(1, 100);
    ConnectionTls tls;
    tls.on = in.ConsumeBool();
    tls.caFile = cp1250Text(in.ConsumeRandomLengthString(40));
    const QByteArray file = QByteArray::fromStdString(in.ConsumeRemainingBytesAsString());

    // Scrambling: three fillers, then each byte and a filler; all back.
    const QByteArray scrambled = ScrambleText(secret);
    FUZZ_EQUAL(scrambled.size(), 3 + 2 * secret.size());
    for (qsizetype i = 0; i < scrambled.size(); ++i)
        if (i < 3 || i % 2 == 0)
            FUZZ_CHECK(scrambled[i] >= '!' && scrambled[i] <= 'W');
    FUZZ_EQUAL(UnscrambleText(scrambled), secret);
    UnscrambleText(secret); // any stored bytes unscramble without harm

    // The record's six fields: what is read is what is written again.
    const ConnectionFields f = ConnectionFields::parse(record);
    for (bool trailing : {false, true}) {
        const ConnectionFields g = ConnectionFields::parse(f.record(trailing));
        FUZZ_EQUAL(g.record(), f.record());
    }
    const QStringList parts = record.split(QLatin1Char(';'));
    if (parts.size() <= 6)
        FUZZ_EQUAL(f.record(), (parts + QStringList(6 - parts.size(), QString())).join(QLatin1Char(';')));

    // Into a configuration file holding anything.
    const QString path = configFile();
    {
        QFile out(path);
        FUZZ_CHECK(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(out.write(file) == file.size());
    }
    const QList<StoredConnection> before = ReadStoredConnections(0, 100);
    if (record.isEmpty() || !storable(record) || !storable(tls.caFile))
        return 0;
    // A CA file name is one trimmed line, as the editor takes it.
    if (tls.caFile != tls.caFile.trimmed() || tls.caFile.contains(QLatin1Char('\n'))
        || tls.caFile.contains(QLatin1Char('\r')))
        return 0;
    WriteStoredConnection(n, record, tls);
    const QList<StoredConnection> after = ReadStoredConnections(0, 100);
    bool found = false;
    for (const StoredConnection &c : after) {
        if (c.key == n) {
            found = true;
            FUZZ_EQUAL(c.record, record);
            FUZZ_CHECK(c.tls == tls);
            continue;
        }
        bool same = false;
        for (const StoredConnection &b : before)
            same = same || (b.key == c.key && b.record == c.record && b.tls == c.tls);
        FUZZ_CHECK(same);
    }
    FUZZ_CHECK(found);
    int others = 0;
    for (const StoredConnection &b : before)
        others += b.key != n;
    FUZZ_EQUAL(int(after.size()), others + 1);
    return 0;
}
