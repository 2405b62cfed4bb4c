// The configuration file: any bytes read without harm, and a save that
// changes one key keeps every other key's value byte for byte.
#include "FuzzCheck.h"
#include "base/Codec.h"
#include "config/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fuzzer/FuzzedDataProvider.h>

using namespace qo;

namespace {

QString workFile()
{
    // The save helper syncs every write: a folder in memory keeps that quick.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/qo-fuzz-XXXXXX")
                                                                       : QDir::tempPath() + QStringLiteral("/qo-fuzz-XXXXXX"));
    return dir.filePath(QStringLiteral("QuorvinOpt.ini"));
}

struct Key {
    QString section, key;
};

// Every section/key pair a line could name, by a rough reading of the lines;
// the document itself then says what each holds.
QList<Key> candidateKeys(const IniDocument &doc)
{
    QList<Key> keys;
    QString section;
    for (const QByteArray &raw : doc.lines()) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[') && line.contains(']')) {
            section = fromCp1250(line.mid(1, line.indexOf(']') - 1));
            continue;
        }
        const int eq = line.indexOf('=');
        if (eq > 0)
            keys.push_back({section, fromCp1250(line.left(eq).trimmed())});
    }
    return keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    // A short key to change and its value, then the file's bytes.
    const QString section = fromCp1250(QByteArray::fromStdString(in.ConsumeRandomLengthString(12)));
    const QString key = fromCp1250(QByteArray::fromStdString(in.ConsumeRandomLengthString(12)));
    QByteArray value = QByteArray::fromStdString(in.ConsumeRandomLengthString(64));
    const QByteArray file = QByteArray::fromStdString(in.ConsumeRemainingBytesAsString());

    const QString path = workFile();
    {
        QFile f(path);
        FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(f.write(file) == file.size());
    }
    IniDocument doc = IniDocument::loadForUpdate(path);
    FUZZ_CHECK(doc.readable());
    const QList<Key> keys = candidateKeys(doc);
    QList<std::optional<QByteArray>> before;
    for (const Key &k : keys)
        before.push_back(doc.value(k.section, k.key, 1 << 20));

    // Names that the format cannot hold are not asked for by the program.
    const auto nameOk = [](const QString &n) {
        return fromCp1250(toCp1250(n)) == n && !n.trimmed().isEmpty() && n == n.trimmed() && !n.contains(QLatin1Char('=')) && !n.contains(QLatin1Char('['))
               && !n.contains(QLatin1Char(']')) && !n.contains(QLatin1Char('\r')) && !n.contains(QLatin1Char('\n'));
    };
    if (!nameOk(section) || !nameOk(key))
        return 0;
    // Writers turn line breaks into blanks and values are read trimmed.
    value.replace('\r', ' ').replace('\n', ' ');
    value = value.trimmed();

    doc.set(section, key, value);
    FUZZ_EQUAL(doc.value(section, key, 1 << 20).value_or("<missing>"), value);
    doc.save(path);
    const IniDocument back = IniDocument::load(path);
    FUZZ_CHECK(back.readable());
    FUZZ_EQUAL(back.value(section, key, 1 << 20).value_or("<missing>"), value);
    for (int i = 0; i < keys.size(); ++i) {
        const Key &k = keys[i];
        if (k.section.compare(section, Qt::CaseInsensitive) == 0 && k.key.compare(key, Qt::CaseInsensitive) == 0)
            continue;
        FUZZ_EQUAL(back.value(k.section, k.key, 1 << 20).value_or("<missing>"), before[i].value_or("<missing>"));
    }
    return 0;
}
