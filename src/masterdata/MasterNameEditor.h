#pragma once
// The editor of one master-data row: its name, and its key in small print.
#include "masterdata/MasterRowDialog.h"

class QLabel;
class QLineEdit;

namespace qo {

class MasterNameEditor : public MasterRowDialog {
    Q_OBJECT
public:
    MasterNameEditor(const QString &table, const QString &caption, QWidget *parent = nullptr);

    // Starts a new row (key -1) or reads the row; false when it does not exist.
    bool start(qint64 key);

    QLabel *captionLabel = nullptr; // the caption above the field
    QLineEdit *nameEdit = nullptr;  // t_nev
    QLabel *lblKulcs = nullptr;     // the key, small
    QLabel *Image1 = nullptr;

private:
    QString m_table;
};

// A table name that can be pasted into SQL text: letters, digits and "_".
bool IsPlainTableName(const QString &table);

} // namespace qo
