#pragma once
// The object name of every window. Each names the configuration-file section
// where the window keeps its placement, so a class rename must never change
// one of these texts: users would lose their stored window positions.
#include <QLatin1StringView>

namespace qo::WindowKeys {

inline constexpr QLatin1StringView kAboutDialog{"frm_Nevjegy"};
inline constexpr QLatin1StringView kClientEditor{"frm_Szerkeszt"};
inline constexpr QLatin1StringView kClientPicker{"frm_TorzsUgyfel"};
inline constexpr QLatin1StringView kConnectionEditor{"frm_Adatbazis_Szerkeszt"};
inline constexpr QLatin1StringView kConnectionList{"frm_Adatbazis"};
inline constexpr QLatin1StringView kConnectionSetup{"frm_Init"};
inline constexpr QLatin1StringView kDatabaseChooser{"frm_AdatbazisNyit"};
inline constexpr QLatin1StringView kDateDialog{"frm_Datumbe"};
inline constexpr QLatin1StringView kDelimitedExport{"frm_Hatarolt"};
inline constexpr QLatin1StringView kExaminationEditor{"frm_Vizsgalat"};
inline constexpr QLatin1StringView kHtmlExport{"frm_Grid2Html"};
inline constexpr QLatin1StringView kJobProgress{"frm_Folyamat"};
inline constexpr QLatin1StringView kLoginDialog{"frm_Login"};
inline constexpr QLatin1StringView kMainWindow{"frm_Main"};
inline constexpr QLatin1StringView kMasterDataList{"frm_Torzsadat"};
inline constexpr QLatin1StringView kMasterNameEditor{"frm_Torzsadat_Szerkeszt"};
inline constexpr QLatin1StringView kNewsWindow{"frm_Hirfolyam"};
inline constexpr QLatin1StringView kOptionDialog{"frm_Radio"};
inline constexpr QLatin1StringView kPeriodDialog{"frm_Idoszak"};
inline constexpr QLatin1StringView kPrescriptionEditor{"frm_R1"};
inline constexpr QLatin1StringView kPrescriptionHistory{"frm_KorabbiReceptek"};
inline constexpr QLatin1StringView kPrintTargetDialog{"frm_NyomValaszt"};
inline constexpr QLatin1StringView kReminderList{"frm_Emlekezteto"};
inline constexpr QLatin1StringView kRevenueChart{"frm_ArbevetelGrafikon"};
inline constexpr QLatin1StringView kSettingsDialog{"frm_Beallit"};
inline constexpr QLatin1StringView kSplash{"frm_Logo"};
inline constexpr QLatin1StringView kSqlConsole{"frm_SQL"};
inline constexpr QLatin1StringView kUserEditor{"frm_FelhasznaloSzerkeszt"};
inline constexpr QLatin1StringView kUserList{"frm_Felhasznalo"};
inline constexpr QLatin1StringView kAuditLogList{"frm_Naplo"};
inline constexpr QLatin1StringView kVersionNotes{"frm_Verziokovetes"};
inline constexpr QLatin1StringView kWorkOrderEditor{"frm_Munkalap"};
inline constexpr QLatin1StringView kWorkOrderHistory{"frm_MunkalapBongeszo"};
inline constexpr QLatin1StringView kUncollectedOrders{"frm_NemVittEl"};
inline constexpr QLatin1StringView kWorkOrderTypeEditor{"frm_TorzsMLapTipus_Szerkeszt"};
inline constexpr QLatin1StringView kWorkOrderTypeList{"frm_TorzsMLapTipus"};

} // namespace qo::WindowKeys
