#pragma once
// "Vágólapra!": the chosen columns as tab-separated lines (CR LF after each)
// for pasting into a spreadsheet; the memo, field-name and header options of
// the export dialog apply, quotes never.
#include "export/DelimitedWriter.h"

namespace qo {

// The text the clipboard receives; options.separator and options.quote are ignored.
QString ClipboardText(const ExportSource &source, DelimitedOptions options, const ExportStep &step = {});
// Puts the text on the clipboard as plain text.
void CopyToClipboard(const QString &text);

} // namespace qo
