#pragma once
// The list of a simple code table (integer key t, name t_nev): the lens brands
// (lencsemarka) and the frame brands (keretmarka). It maintains the table
// (new, rename, delete) and, in choose mode, hands a row back to the caller.
#include "ui/SearchList.h"

namespace qo {

class MasterDataList : public SearchList {
    Q_OBJECT
public:
    MasterDataList(const QString &table, const QString &caption, bool choose, QWidget *parent = nullptr);

    QString table() const { return m_table; }
    QString caption() const { return m_caption; }
    bool chooseMode() const { return m_choose; }

    QAction *aUj = nullptr;
    QAction *aSzerkeszt = nullptr;
    QAction *aTorol = nullptr;
    QAction *aKeres = nullptr;
    QAction *aElfogad = nullptr; // choose mode only
    QAction *aBezar = nullptr;

public Q_SLOTS:
    void accept() override; // "Elfogad": refused on an empty list

protected:
    QString deleteRefusedText() const override;

private:
    void aUjExecute();
    void aSzerkesztExecute();
    void aTorolExecute();

    QString m_table, m_caption;
    bool m_choose;
};

// Opens the list of table `table` (lencsemarka or keretmarka) captioned
// `caption`, standing on `initialKey` (the first row when it is -1 or not
// listed). In choose mode a row accepted with "Elfogad", Enter or a double
// click is returned with its name in *name; otherwise, and after "Bezár" or
// Esc, -1 and *name unchanged. Throws qo::Error for a table name that is not
// a plain identifier.
qint64 OpenMasterDataList(qint64 initialKey, bool choose, const QString &table, const QString &caption,
                          QString *name = nullptr, QWidget *parent = nullptr);

class MasterNameEditor;

// The one-field editor of a row of `table`: key -1 starts a new row. The
// caption (the list's caption, such as "Lencse márka") heads the window and
// the field. Returns the saved row's key, or -1 when cancelled (or when the
// row no longer exists; that has been said).
qint64 EditMasterDataRow(qint64 key, const QString &table, const QString &caption = {}, QWidget *parent = nullptr);

} // namespace qo
