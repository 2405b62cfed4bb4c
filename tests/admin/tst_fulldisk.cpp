// Every writer of the program on a full disk (a small tmpfs, mounted as root):
// each reports the failure with its reason and leaves the earlier good file
// exactly as it was, with no temporary file left beside it. Also the modes of
// the files the program creates, and the file-name-free conversions.
#include "admin/BackupWriter.h"
#include "base/Codec.h"
#include "base/Error.h"
#include "base/SaveFile.h"
#include "config/AppState.h"
#include "config/Config.h"
#include "config/IniFile.h"
#include "db/Connection.h"
#include "export/Biff2Writer.h"
#include "export/DelimitedWriter.h"
#include "export/ExportDialog.h"
#include "export/HtmlExport.h"
#include "export/XlsxWriter.h"
#include "reports/BandReport.h"
#include "reports/ReportOutput.h"
#include "support/Drive.h"
#include "support/TestDb.h"
#include "support/AdminFormParts.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"

#include <QtTest>
#include <QDir>
#include <QLineEdit>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qo;
using qo::test::formParts;
using namespace qo::test;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

unsigned modeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 0777) : 0;
}

} // namespace

class TestFullDisk : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_disk; // the small tmpfs, empty between cases
    TestDb *m_db = nullptr;
    RowSet m_rows;

    // Leaves about `room` bytes free on the small disk.
    void fill(qint64 room)
    {
        QStorageInfo s(m_disk);
        s.refresh();
        const qint64 filler = s.bytesAvailable() - room;
        if (filler > 0) {
            QFile f(m_disk + QStringLiteral("/filler"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            const QByteArray block(4096, 'x');
            for (qint64 n = 0; n + block.size() <= filler; n += block.size())
                f.write(block);
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QFile ini(m_dir.filePath(QStringLiteral("QuorvinOpt.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.close();
        initFolders(m_dir.path());
        appState() = AppState();
        m_db = new TestDb(QStringLiteral("fulldisk_tst"));
        ExecSql(QStringLiteral("CREATE TABLE t_big (k INT NOT NULL AUTO_INCREMENT PRIMARY KEY, nev VARCHAR(80))"));
        ExecSql(QStringLiteral("INSERT INTO t_big (nev) SELECT CONCAT('Őrző Ügyfél ', LPAD(seq, 60, '0')) "
                               "FROM seq_1_to_3000"));
        m_rows = Connection::main().query(QStringLiteral("SELECT k, nev FROM t_big ORDER BY k"));
        if (::geteuid() == 0) {
            m_disk = m_dir.filePath(QStringLiteral("small"));
            QVERIFY(QDir().mkpath(m_disk));
            if (::mount("tmpfs", QFile::encodeName(m_disk).constData(), "tmpfs", 0, "size=200k") != 0)
                m_disk.clear();
        }
    }
    void cleanupTestCase()
    {
        if (!m_disk.isEmpty())
            ::umount(QFile::encodeName(m_disk).constData());
        delete m_db;
    }
    void cleanup()
    {
        if (!m_disk.isEmpty())
            for (const QString &f : QDir(m_disk).entryList(QDir::Files | QDir::Hidden))
                QFile::remove(m_disk + QLatin1Char('/') + f);
    }

    void writersKeepTheOldFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("delimited text") << "lista.csv";
        QTest::newRow("worksheet") << "lista.xls";
        QTest::newRow("workbook") << "lista.xlsx";
        QTest::newRow("html page") << "lista.htm";
        QTest::newRow("pdf") << "lista.pdf";
        QTest::newRow("sql script") << "parancs.sql";
        QTest::newRow("data backup") << "mentes.sql";
        QTest::newRow("zip backup") << "mentes.zip";
        QTest::newRow("configuration file") << "QuorvinOpt.ini";
    }
    void writersKeepTheOldFile()
    {
        if (m_disk.isEmpty())
            QSKIP("a small tmpfs needs root (mount); not tested here");
        QFETCH(QString, name);
        const QString path = m_disk + QLatin1Char('/') + name;
        const QByteArray good("the earlier good file\r\n");
        SaveBytes(path, good);
        fill(8 * 1024);

        const ExportSource source(m_rows);
        GridModel model;
        model.setColumns({{QStringLiteral("k"), QStringLiteral("Kulcs")}, {QStringLiteral("nev"), QStringLiteral("Név")}});
        model.setRowSet(m_rows);
        Grid grid;
        grid.setGridModel(&model);
        QString message;
        try {
            if (name == QLatin1String("lista.csv")) {
                WriteDelimitedFile(source, DelimitedOptions(), path);
            } else if (name == QLatin1String("lista.xls")) {
                WriteBiff2File(source, {}, path);
            } else if (name == QLatin1String("lista.xlsx")) {
                // Incompressible text, so the zipped workbook outgrows the room.
                RowSet noise = Connection::main().query(
                    QStringLiteral("SELECT seq, SHA2(seq, 512), MD5(seq) FROM seq_1_to_3000"));
                WriteXlsxFile(ExportSource(noise), XlsxOptions(), path);
            } else if (name == QLatin1String("lista.htm")) {
                WriteGridHtml(&grid, QStringLiteral("Lista"), path);
            } else if (name == QLatin1String("lista.pdf")) {
                BandReport r;
                r.title = QStringLiteral("Lista");
                r.data = std::make_shared<RowSet>(m_rows);
                r.detail.height = 5;
                r.detail.column(QRectF(10, 0, 150, 5), QStringLiteral("nev"), QFont(QStringLiteral("DejaVu Sans"), 9));
                SaveReportPdf(r, path);
            } else if (name == QLatin1String("parancs.sql")) {
                QString text;
                for (int i = 0; i < 600; ++i)
                    text += QStringLiteral("SELECT * FROM ugyfel WHERE ugyfel_nev = 'Őrző %1';\n").arg(i);
                writeLocalTextFile(path, text);
            } else if (name == QLatin1String("mentes.sql")) {
                BackupWriter(Connection::main()).writeScript(path);
            } else if (name == QLatin1String("mentes.zip")) {
                const QString script = m_dir.filePath(QStringLiteral("mentes.sql"));
                BackupWriter(Connection::main()).writeScript(script);
                // Make the script incompressible enough to outgrow the room.
                QFile s(script);
                QVERIFY(s.open(QIODevice::Append));
                for (int i = 0; i < 3000; ++i)
                    s.write(QCryptographicHash::hash(QByteArray::number(i), QCryptographicHash::Sha512).toHex());
                s.close();
                ZipSingleFile(script, path);
            } else {
                IniDocument doc;
                for (int i = 0; i < 400; ++i)
                    doc.set(QStringLiteral("Adatbazis"), QStringLiteral("ConStr%1").arg(i), QByteArray(60, 'q'));
                doc.save(path);
            }
        } catch (const Error &e) {
            message = e.message();
        }
        QVERIFY2(message.startsWith(QStringLiteral("Hiba: a fájl nem írható: ")), qPrintable(message));
        QVERIFY2(message.endsWith(QStringLiteral("\nBetelt a lemez")), qPrintable(message));
        QCOMPARE(bytesOf(path), good);
        QCOMPARE(QDir(m_disk).entryList(QDir::Files | QDir::Hidden), (QStringList{QStringLiteral("filler"), name}));
    }

    // The export dialog at the keyboard: the full disk is reported, never
    // "… file kész.".
    void exportDialogReportsAFullDisk()
    {
        if (m_disk.isEmpty())
            QSKIP("a small tmpfs needs root (mount); not tested here");
        const QString path = m_disk + QStringLiteral("/lista.csv");
        SaveBytes(path, "old\r\n");
        fill(4 * 1024);
        ModalLog answers;
        onModal(anyWindow(), [path](QWidget *d) {
            QApplication::setActiveWindow(d);
            auto *e = qobject_cast<ExportDialog *>(d);
            QVERIFY(e);
            int presses = 0;
            while (QApplication::focusWidget() != formParts(e).fileEdit && presses++ < 20)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), formParts(e).fileEdit);
            QTest::keyClick(formParts(e).fileEdit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(formParts(e).fileEdit, path);
            QTimer::singleShot(0, formParts(e).fileEdit, [e] { QTest::keyClick(formParts(e).fileEdit, Qt::Key_Return); });
        });
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        onModal(anyWindow(), [](QWidget *d) { QTest::keyClick(d->focusWidget() ? d->focusWidget() : d, Qt::Key_Escape); });
        ShowExportDialog(m_rows, QString(), nullptr);
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts.size(), 1);
        QVERIFY2(answers.texts.first().contains(QStringLiteral("Betelt a lemez")), qPrintable(answers.texts.first()));
        QVERIFY(!answers.texts.first().contains(QStringLiteral("kész")));
        QCOMPARE(bytesOf(path), QByteArray("old\r\n"));
    }

    // New files hold client data or secrets: owner only. A replaced file keeps
    // the mode it had, never a wider one.
    void fileModes()
    {
        const QString fresh = m_dir.filePath(QStringLiteral("uj.csv"));
        WriteDelimitedFile(ExportSource(m_rows), DelimitedOptions(), fresh);
        QCOMPARE(modeOf(fresh), 0600u);

        const QString shared = m_dir.filePath(QStringLiteral("kozos.csv"));
        SaveBytes(shared, "x");
        QVERIFY(::chmod(QFile::encodeName(shared).constData(), 0640) == 0);
        WriteDelimitedFile(ExportSource(m_rows), DelimitedOptions(), shared);
        QCOMPARE(modeOf(shared), 0640u);

        WriteConfigString("Alapertek", "AlapVaros", "Győr");
        QCOMPARE(modeOf(ConfigFile()), 0600u);
        const QString backup = m_dir.filePath(QStringLiteral("adat.sql"));
        BackupWriter(Connection::main()).writeScript(backup);
        QCOMPARE(modeOf(backup), 0600u);
        const QString zip = m_dir.filePath(QStringLiteral("adat.zip"));
        ZipSingleFile(backup, zip);
        QCOMPARE(modeOf(zip), 0600u);
    }

    // Each conversion stands alone: half an emoji at the end of one text
    // neither loses the next character nor spoils the next conversion.
    void conversionsAreIndependent()
    {
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
        QCOMPARE(toCp1250(QStringLiteral("ab") + emoji.left(1)), QByteArray("ab?"));
        QCOMPARE(toCp1250(QStringLiteral("Alapertek")), QByteArray("Alapertek"));
        QCOMPARE(toCp1250(emoji.left(1)), QByteArray("?"));
        QCOMPARE(toCp1250(emoji.right(1) + QStringLiteral("x")), QByteArray("?x"));
        QCOMPARE(fromCp1250("\xD5"), QStringLiteral("Ő"));

        // Through the configuration file: the key stays in its own section.
        WriteConfigString("Alapertek", "Tulajdonos", QStringLiteral("Bolt ") + emoji.left(1));
        WriteConfigString("Alapertek", "AlapVaros", QStringLiteral("Pécs"));
        QCOMPARE(ReadConfigString("Alapertek", "AlapVaros", QString()), QStringLiteral("Pécs"));
        QVERIFY(!bytesOf(ConfigFile()).contains("[?"));
    }
};

QTEST_MAIN(TestFullDisk)
#include "tst_fulldisk.moc"
