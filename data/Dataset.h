#pragma once
// A dataset: an ordered view of rows with a current row and a record buffer, typed field objects,
// navigation, append/edit/post/cancel/delete, locate, find nearest, a filter, a record-filter
// routine, calculated fields and an optional master-detail link. Tables and read-only queries
// are datasets; views bind to them through a DataSource.
//
// Only the ordered row identities of the view are kept in memory; row values are read through
// a small cache, so long lists stay cheap to open and to step through.

#include "data/Field.h"
#include "data/FieldNames.h"

#include <functional>
#include <memory>
#include <QObject>
#include <QVariant>
#include <QVector>
#include <unordered_map>
#include <vector>

class DataSource;
class RowConflict;
class Store;

using RowId = qint64;
using Values = QVector<QVariant>;

struct FilterCondition {
    QString field;
    QVariant value; // compared for equality, as a value: no quoting, no escaping
};

class Dataset : public QObject {
    Q_OBJECT
public:
    // True when the rows may only be read: appending, editing and deleting are refused.
    virtual bool isReadOnly() const { return false; }
    enum class State { Inactive, Browse, Edit, Insert };

    ~Dataset() override;

    // Field objects, stored fields first, then calculated ones.
    int fieldCount() const { return int(fields_.size()); }
    Field& field(int index) const { return *fields_[index]; }
    Field& field(const QString& name) const; // throws DbError when there is no such field
    Field* findField(const QString& name) const;
    Field& addCalculatedField(const QString& name, FieldType type);
    int storedFieldCount() const { return storedCount_; }

    // Hooks. onCalcFields fills the calculated fields of the active record; beforeDelete may throw
    // AbortAction to keep the row; onFilterRecord decides which rows findFirst/findNext accept.
    std::function<void(Dataset&)> onCalcFields;
    std::function<void(Dataset&)> beforeDelete;
    std::function<bool(Dataset&)> onFilterRecord;
    // Asked when a row being saved was written by someone else since it was read (on a store
    // whose rows carry versions): save over it, show the other version instead (the edit is
    // dropped), or go on editing with the typed values kept. Without it the conflict is thrown and
    // the row stays in editing.
    enum class ConflictChoice { KeepEditing, SaveMine, ShowTheirs };
    std::function<ConflictChoice(Dataset&, const RowConflict&)> onConflict;

    // What a user calls this data, for messages: "слушатели заявки". Tables and queries take it
    // from the captions of the store's table they show (captionTable, e.g. "Sluch2023"), which
    // also names their fields.
    virtual QString caption() const;
    // Why there is nothing to act on when the view is empty: "в заявке нет слушателей".
    virtual QString emptyText() const;
    const QString& captionTable() const { return captionTable_; }
    void setCaptionTable(const QString& storeTableName) { captionTable_ = storeTableName; }

    void open();
    void close();
    bool isActive() const { return state_ != State::Inactive; }
    void checkActive() const; // throws DbError when the dataset is closed
    State state() const { return state_; }
    bool isEditing() const { return state_ == State::Edit || state_ == State::Insert; }

    int recordCount() const;
    int recNo() const; // position of the current row in the view, -1 when the view is empty
    bool eof() const;
    bool bof() const;
    bool isEmpty() const;
    void first();
    void last();
    void next();
    void prior();
    void moveTo(int row);

    void append();
    void edit();
    void post();
    void cancel();
    void remove();
    bool isModified() const { return modified_; }
    // Bound boxes with typed text not yet written call this, so the row counts as changed.
    void markModified();
    // Asks bound boxes to write what they hold into the record (done by post as well); a box
    // whose text the field refuses throws DbError, which stops the post.
    void updateRecord();
    // Bound boxes register how they write their pending text; the id removes it again.
    int addRecordUpdater(std::function<void()> updater);
    void removeRecordUpdater(int id);
    // Posts a changed row, drops an unchanged edit or new row.
    void checkBrowseMode();

    // Fields joined by ';' (blanks allowed); exact, case-sensitive match; true when found.
    bool locate(const QString& fieldNames, const QVariantList& values);
    // On the leading fields of the current order: the first row equal to or after the values,
    // the last row when every row sorts before them.
    void findNearest(const QVariantList& values);
    bool findFirst();
    bool findNext();

    // The filter: either the textual form "([PR]= 'X')" or conditions given as values.
    void setFilter(const QString& expression);
    void setFilterConditions(const QList<FilterCondition>& conditions);
    QString filter() const { return filterText_; }
    void setFiltered(bool on);
    bool isFiltered() const { return filtered_; }

    // Detail link: the rows shown are those whose leading order fields equal the master's fields.
    void setMasterSource(DataSource* master, const QString& masterFields);
    DataSource* masterSource() const { return master_; }

    // Row values for views: the current row shows its record buffer, edits included.
    QVariant valueAt(int row, int fieldIndex);
    RowId rowIdAt(int row) const { return view_[size_t(row)]; }
    RowId currentRowId() const;

    // Re-reads the rows from their source, keeping the current row when it still exists.
    void reread();

    // Field access for Field objects.
    QVariant fieldValue(int fieldIndex) const { return (*active_)[fieldIndex]; }
    void setFieldValue(int fieldIndex, const QVariant& value);

signals:
    void viewReset();             // rows were added, removed, reordered or re-read
    void currentChanged();        // another row is current, or the current row was re-read
    void stateChanged();          // opened, closed, edit, insert, browse
    void fieldChanged(int field); // a value of the record buffer changed (-1: all of them)
    void posted();

protected:
    Dataset(Store* store, const QString& objectName, QObject* parent);

    void defineField(const FieldDef& def);
    [[noreturn]] void fail(const QString& message) const;
    [[noreturn]] void failReadOnly() const;
    Values& buffer() { return buf_; }

    virtual void openSource() = 0;
    virtual void closeSource() {}
    virtual std::vector<RowId> fetchView() = 0; // honouring range and filter, in order
    virtual Values fetchRow(RowId id) = 0;      // stored values only
    virtual RowId writeInsert(Values& values);  // may fill an auto-increment value
    virtual void writeUpdate(RowId id, const Values& values);
    virtual void writeDelete(RowId id);
    // Editing of the row `id` begins: the version it was read at is the one its update expects.
    virtual void editStarted(RowId id) {}
    // The update of the row `id` is to go over the version `version` stored now.
    virtual void writeOverVersion(RowId id, qint64 version) {}
    // Order of the view; the default is by row identity.
    virtual int compareOrder(const Values& a, RowId idA, const Values& b, RowId idB) const;
    // Leading fields of the order: what a detail link and find nearest match on.
    virtual QList<int> orderFields() const { return {}; }
    // The position of the first view row matching the fields exactly, -1 when none.
    virtual int findMatch(const QList<int>& fields, const Values& values);
    // The position of the first view row at or after `key` on the leading order fields (texts
    // compared by letters only); the view's size when every row sorts before it.
    virtual int nearestPosition(const Values& key);

    // State of the detail link and the filter, for subclasses that fetch through SQL.
    bool rangeEmpty() const { return rangeEmpty_; }
    const QList<int>& linkFields() const { return linkFields_; }
    const QVariantList& rangeValues() const { return rangeValues_; }
    struct Condition {
        int field;
        QVariant value;
    };
    QList<Condition> activeFilter() const { return filtered_ ? filterConds_ : QList<Condition>{}; }

    Values rowValues(RowId id); // cached
    void forgetRow(RowId id);
    void forgetAllRows();
    // Keeps a row read along with the view, as reading it by itself would have (calculated fields
    // included), so that showing it needs no statement of its own.
    void keepRowRead(RowId id, Values values);
    int positionOf(RowId id);
    static int compareValues(FieldType type, const QVariant& a, const QVariant& b);
    static bool sameValue(const QVariant& a, const QVariant& b);

    Store* store_;

private:
    void rebuild(RowId keep, bool keepPosition);
    bool findFrom(int row);
    void loadCurrent();
    void computeCalc(Values& record);
    void setCurrent(int row);
    bool matchesView(const Values& values) const;
    int lowerBound(const Values& values, RowId id);
    bool staysInPlace(int row, RowId id, const Values& values);
    void remember(RowId id, const Values& values);
    void placeAfterWrite(RowId id, const Values& values, bool inserted);
    void writeUpdateResolving(RowId id, const Values& values);
    void masterChanged();
    Values blankRecord() const;
    template <typename Fn> auto withRecord(Values& record, Fn fn);

    std::vector<std::unique_ptr<Field>> fields_;
    int storedCount_ = 0;
    QString captionTable_;
    State state_ = State::Inactive;
    std::vector<RowId> view_;
    int cur_ = -1;
    bool eof_ = true;
    bool bof_ = true;
    Values buf_;
    Values* active_ = &buf_;
    bool inCalc_ = false;
    bool modified_ = false;

    std::unordered_map<RowId, Values> cache_;
    std::unordered_map<RowId, int> positions_;
    bool positionsValid_ = false;
    // The fields of the last locate, by the names it was given ("Name1;Name2;Name3").
    QString locateNames_;
    QList<int> locateFields_;

    QString filterText_;
    QList<Condition> filterConds_;
    bool filtered_ = false;

    DataSource* master_ = nullptr;
    QList<int> masterFields_;
    QList<int> linkFields_;
    QVariantList rangeValues_;
    bool rangeEmpty_ = false;
    QList<Dataset*> details_;
    std::vector<std::pair<int, std::function<void()>>> updaters_;
    int nextUpdaterId_ = 1;
    void notifyDetails();
};
