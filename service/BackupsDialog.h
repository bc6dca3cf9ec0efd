#pragma once
// "Резервные копии" (`ftrBackups`): the copies of the store in the root's Backup folder, the newest
// first, with when each was taken, before what action and its size. "Восстановить" puts the chosen
// copy in the store's place after a question, the store as it was kept as a copy first, and every
// table is opened again; "Сделать копию" takes a copy now.
#include "data/Backups.h"

#include <QDialog>

class QTableWidget;
class QLabel;
class WindowHost;

class BackupsDialog : public QDialog {
    Q_OBJECT
public:
    explicit BackupsDialog(WindowHost& main);

    // Handlers.
    void makeCopy();    // "Сделать копию"
    void restoreCopy(); // "Восстановить"

    // "184 КБ", "2,4 МБ".
    static QString sizeText(qint64 bytes);

private:
    void fill();

    WindowHost& main_;
    QList<BackupCopy> copies_;
    QTableWidget* list_;
    QLabel* folder_;
};
