// Number and date fields: what the server sends (RowSet cells) and what a
// user types into a number field. Cells keep their bytes at every length; a
// number or date written out is read back as itself; a typed number is read
// within its limit, and a number shown through the money masks or as plain
// text is read back as the same number.
#include "FuzzCheck.h"
#include "base/NumberFormat.h"
#include "base/Text.h"
#include "db/RowSet.h"
#include "workorders/FieldEdits.h"

#include <QRegularExpression>
#include <cmath>
#include <fuzzer/FuzzedDataProvider.h>
#include <vector>

using namespace qo;

namespace {

void checkCells(FuzzedDataProvider &in)
{
    const RowSet::Kind kinds[] = {RowSet::Kind::Integer, RowSet::Kind::Float, RowSet::Kind::Date,
                                  RowSet::Kind::DateTime, RowSet::Kind::Text};
    QVector<RowSet::Field> fields;
    for (RowSet::Kind k : kinds)
        fields.push_back({QStringLiteral("f%1").arg(fields.size()), k, 0, 0, 0});
    RowSet rows;
    rows.setFields(fields);
    std::vector<std::vector<QByteArray>> want; // a null QByteArray is NULL
    const int rowCount = in.ConsumeIntegralInRange(1, 4);
    for (int r = 0; r < rowCount; ++r) {
        std::vector<QByteArray> cells;
        for (int c = 0; c < fields.size(); ++c) {
            QByteArray b;
            switch (in.ConsumeIntegralInRange(0, 5)) {
            case 0: break; // NULL
            case 1: // long values cross the two-, three-byte length marks
                b = QByteArray(in.ConsumeIntegralInRange(250, 70000), char(in.ConsumeIntegral<uint8_t>()));
                break;
            case 2: b = QByteArray::number(in.ConsumeIntegral<qint64>()); break;
            case 3: b = QByteArray::number(in.ConsumeFloatingPoint<double>(), 'g', 17); break;
            case 4:
                b = QDate(in.ConsumeIntegralInRange(1000, 9999), in.ConsumeIntegralInRange(1, 12), in.ConsumeIntegralInRange(1, 31))
                        .toString(QStringLiteral("yyyy-MM-dd"))
                        .toLatin1();
                break;
            default: b = QByteArray::fromStdString(in.ConsumeRandomLengthString(40)); break;
            }
            if (b.isNull() && c % 2)
                b = QByteArray(""); // empty, not NULL
            cells.push_back(b);
        }
        std::vector<const char *> p;
        std::vector<unsigned long> len;
        for (const QByteArray &b : cells) {
            p.push_back(b.isNull() ? nullptr : b.constData());
            len.push_back(b.isNull() ? 0 : (unsigned long)b.size());
        }
        rows.appendRow(p.data(), len.data());
        want.push_back(cells);
    }
    RowSet copy;
    copy.setFields(fields);
    copy.appendRows(rows, 0, rows.rowCount());
    for (int r = 0; r < rowCount; ++r) {
        for (int c = 0; c < fields.size(); ++c) {
            const QByteArray &w = want[r][c];
            for (const RowSet *set : {&rows, &copy}) {
                FUZZ_EQUAL(set->isNull(r, c), w.isNull());
                int len = -1;
                const char *p = set->rawData(r, c, &len);
                FUZZ_EQUAL(QByteArray(p, len), w.isNull() ? QByteArray("") : w);
            }
            if (w.isNull())
                continue;
            // Whatever the cell holds, a typed value is either nothing or
            // what its text says.
            bool ok = false;
            const qint64 i = w.toLongLong(&ok);
            if (ok && w.size() < 32 && w == w.trimmed())
                FUZZ_EQUAL(rows.toInt(r, c), i);
            const double d = w.toDouble(&ok);
            if (ok && w.size() < 64 && w == w.trimmed())
                FUZZ_CHECK(rows.toDouble(r, c, -1) == d || (std::isnan(d) && std::isnan(rows.toDouble(r, c))));
            const QDate date = rows.toDate(r, c);
            if (date.isValid())
                FUZZ_EQUAL(date.toString(QStringLiteral("yyyyMMdd")).toLatin1(), w.left(4) + w.mid(5, 2) + w.mid(8, 2));
            const QDateTime dt = rows.toDateTime(r, c);
            if (dt.isValid() && w.size() == 19)
                FUZZ_EQUAL(dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1(), w);
            rows.value(r, c);
            rows.text(r, c);
        }
    }
}

void checkTyped(FuzzedDataProvider &in)
{
    const double limit = NumberEdit::kDefaultLimit;
    // Anything typed: a number within the limit, or nothing.
    const QString typed = QString::fromUtf8(QByteArray::fromStdString(in.ConsumeRandomLengthString(30)));
    const QVariant v = NumberEdit::parse(typed);
    if (v.isValid())
        FUZZ_CHECK(std::isfinite(v.toDouble()) && std::fabs(v.toDouble()) <= limit);
    FUZZ_EQUAL(NumberEdit::acceptable(typed), typed.trimmed().isEmpty() || v.isValid());
    TextToIntLoose(typed);
    KeepNumberChars(typed);

    // A whole amount shown as money, plainly, and grouped with points.
    const qint64 whole = in.ConsumeIntegralInRange<qint64>(-qint64(limit), qint64(limit));
    const QString money = FormatMask(double(whole), QStringLiteral("### ### ##0"));
    FUZZ_EQUAL(NumberEdit::parse(money).toDouble(), double(whole));
    FUZZ_EQUAL(NumberEdit::parse(NumberEdit::plainText(double(whole))).toDouble(), double(whole));
    QString dotted = money;
    dotted.replace(QLatin1Char(' '), QLatin1Char('.'));
    if (dotted.startsWith(QLatin1Char('-')))
        dotted.remove(1, dotted.indexOf(QRegularExpression(QStringLiteral("[0-9]"))) - 1);
    FUZZ_EQUAL(NumberEdit::parse(dotted).toDouble(), double(whole));
    // Hundredths through a decimal mask.
    const qint64 cents = in.ConsumeIntegralInRange<qint64>(-9999999999, 9999999999);
    const QString withDecimals = FormatMask(double(cents) / 100.0, QStringLiteral("#,##0.00"));
    FUZZ_EQUAL(NumberEdit::parse(withDecimals).toDouble(), double(cents) / 100.0);

    // Any value shown plainly comes back to six decimals.
    const double any = in.ConsumeFloatingPointInRange<double>(-limit, limit);
    const QVariant back = NumberEdit::parse(NumberEdit::plainText(any));
    FUZZ_CHECK(back.isValid() && std::fabs(back.toDouble() - any) <= 1e-6);

    // Any mask shows any value without harm.
    FormatMask(in.ConsumeFloatingPoint<double>(), QString::fromUtf8(QByteArray::fromStdString(in.ConsumeRandomLengthString(20))));

    // Versions: an order.
    const QString a = QString::fromLatin1(QByteArray::fromStdString(in.ConsumeRandomLengthString(20)));
    const QString b = QString::fromLatin1(QByteArray::fromStdString(in.ConsumeRandomLengthString(20)));
    const int ab = CompareVersions(a, b), ba = CompareVersions(b, a);
    FUZZ_EQUAL((ab > 0) - (ab < 0), -((ba > 0) - (ba < 0)));
    FUZZ_EQUAL(CompareVersions(a, a), 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    checkTyped(in);
    checkCells(in);
    return 0;
}
