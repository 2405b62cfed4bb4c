#pragma once
// The audit log's entry for a printout or its preview.
class QString;

namespace qo {

class BandReport;

// "NYOMTATAS": which printout, for which client (when it shows one) or
// list, how many rows, and whether it went to a printer or the preview.
void LogReportOutput(const BandReport &report, bool print);

} // namespace qo
