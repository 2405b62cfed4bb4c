#pragma once
// The shop setting "Egészségügyi adatok megőrzése (év)" (beallit.megorzes_ev):
// for how many years an erased client's prescriptions (counted from the last
// visit) and examinations (from their date) are still kept; 0 keeps none.
namespace qo {

class Connection;

int ReadRetentionYears(Connection &db, long long settingsKey);
void WriteRetentionYears(Connection &db, long long settingsKey, int years);

} // namespace qo
