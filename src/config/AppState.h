#pragma once
// The one process-wide settings record: the current user and rights, the shop
// settings from table beallit, and the local display settings.
#include <QString>

namespace qo {

struct AppState {
    bool a5munkalap = false;
    QString ConStr;
    QString adatbazisnev;
    QString nyomtato;
    bool vanbelep = false;
    QString felhasznalo_nev;
    bool torzsszerkeszt = false;
    bool rendszergazda = false;
    bool canins = false;
    bool canedit = false;
    bool candel = false;
    QString FormatDb;
    QString FormatFt;
    int Betumeret = 9;
    int mlaphatid = 0;
    QString mlapmegj;
    int figynap = 0;
    QString HtmlUt;
    bool TeljesKep = true;
    QString Tulajdonos;
    QString AlapVaros;
};

inline AppState &appState()
{
    static AppState b;
    return b;
}

} // namespace qo
