#pragma once
// What every harness asserts with: a property that does not hold ends the run
// with the values involved, so that libFuzzer keeps the input as a crash.
#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                                    \
    do {                                                                                    \
        if (!(cond)) {                                                                      \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                   \
        }                                                                                   \
    } while (0)

// Equality with both sides printed when it fails.
#define FUZZ_EQUAL(a, b)                                                                      \
    do {                                                                                      \
        const auto &fa_ = (a);                                                                \
        const auto &fb_ = (b);                                                                \
        if (!(fa_ == fb_)) {                                                                  \
            std::fprintf(stderr, "%s:%d: %s != %s\n  left:  %s\n  right: %s\n", __FILE__, __LINE__, \
                         #a, #b, qo_fuzz::show(fa_).constData(), qo_fuzz::show(fb_).constData()); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (0)

namespace qo_fuzz {
inline QByteArray show(const QByteArray &b) { return b.toPercentEncoding(" "); }
inline QByteArray show(const QString &s) { return show(s.toUtf8()); }
template <typename T>
QByteArray show(const T &v) { return QByteArray::number(v); }
} // namespace qo_fuzz
