#include "export/ClipboardExport.h"
#include "base/Codec.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>

namespace qo {

QString ClipboardText(const ExportSource &source, DelimitedOptions options, const ExportStep &step)
{
    options.separator = '\t';
    options.quote = 0;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    WriteDelimited(source, options, buffer, step);
    return fromCp1250(bytes);
}

void CopyToClipboard(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

} // namespace qo
