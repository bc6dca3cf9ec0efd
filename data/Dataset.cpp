#include "data/Dataset.h"

#include "data/DataSource.h"
#include "data/DbError.h"
#include "data/FieldCaptions.h"
#include "data/RuCollation.h"
#include "data/Store.h"

#include <algorithm>
#include <QRegularExpression>

namespace {
constexpr size_t kCacheLimit = 4096;
}

Dataset::Dataset(Store* store, const QString& objectName, QObject* parent) : QObject(parent), store_(store) {
    setObjectName(objectName);
    if (store_)
        store_->attach(this);
}

Dataset::~Dataset() {
    if (store_)
        store_->detach(this);
    if (master_)
        master_->dataset()->details_.removeAll(this);
    for (Dataset* d : details_)
        d->master_ = nullptr;
}

// Details follow their master by direct calls, so that an engine error in a detail reaches the
// caller of the master's operation.
void Dataset::notifyDetails() {
    for (Dataset* d : details_)
        d->masterChanged();
}

// ---------------------------------------------------------------- fields

void Dataset::defineField(const FieldDef& def) {
    fields_.insert(fields_.begin() + storedCount_, std::make_unique<Field>(this, storedCount_, def, false));
    ++storedCount_;
    for (int i = storedCount_; i < fieldCount(); ++i)
        fields_[size_t(i)] = std::make_unique<Field>(this, i, fields_[size_t(i)]->def(), true);
    buf_ = blankRecord();
}

Field& Dataset::addCalculatedField(const QString& name, FieldType type) {
    const int index = fieldCount();
    fields_.push_back(std::make_unique<Field>(this, index, FieldDef{name, type, 0}, true));
    buf_ = blankRecord();
    return *fields_.back();
}

Field* Dataset::findField(const QString& name) const {
    for (const auto& f : fields_)
        if (f->name().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

Field& Dataset::field(const QString& name) const {
    if (Field* f = findField(name))
        return *f;
    fail(QStringLiteral("Ошибка программы: поле %1 не найдено в наборе данных %2").arg(name, objectName()));
}

Values Dataset::blankRecord() const {
    return Values(fieldCount());
}

void Dataset::fail(const QString& message) const {
    throw DbError(message);
}

QString Dataset::caption() const {
    return captionTable_.isEmpty() ? QStringLiteral("данные") : captions::table(captionTable_);
}

QString Dataset::emptyText() const {
    return captionTable_.isEmpty() ? QStringLiteral("записей нет") : captions::emptyTable(captionTable_);
}

void Dataset::checkActive() const {
    // Met when a table could not be opened at start-up (the start-up window said why).
    if (state_ == State::Inactive)
        fail(QStringLiteral(
                 "Таблица «%1» не открыта, работать с ней нельзя. Перезапустите программу; если таблица "
                 "не откроется и тогда, восстановите базу данных из резервной копии.")
                 .arg(caption()));
}

void Dataset::failReadOnly() const {
    if (store_ && !store_->canWrite())
        fail(QStringLiteral("Вам разрешён только просмотр данных в базе данных %1, изменить их нельзя. Если "
                            "изменение нужно, попросите администратора сервера дать вам право записи.")
                 .arg(store_->displayPath()));
    fail(QStringLiteral("Таблица «%1» открыта только для просмотра, изменить её нельзя.").arg(caption()));
}

void Dataset::setFieldValue(int fieldIndex, const QVariant& value) {
    checkActive();
    Field& f = field(fieldIndex);
    if (f.isCalculated()) {
        if (!inCalc_)
            fail(QStringLiteral("Поле «%1» вычисляет программа, изменить его нельзя.").arg(f.caption()));
        (*active_)[fieldIndex] = value;
        return;
    }
    if (!isEditing())
        fail(QStringLiteral("Ошибка программы: запись таблицы «%1» меняют, не начав её правку (%2).")
                 .arg(caption(), objectName()));
    if (f.isReadOnly())
        fail(QStringLiteral("Поле «%1» заполняет программа, изменить его нельзя.").arg(f.caption()));
    buf_[fieldIndex] = value;
    modified_ = true;
    computeCalc(buf_);
    emit fieldChanged(fieldIndex);
}

template <typename Fn> auto Dataset::withRecord(Values& record, Fn fn) {
    Values* saved = active_;
    active_ = &record;
    struct Restore {
        Dataset* ds;
        Values* saved;
        ~Restore() { ds->active_ = saved; }
    } restore{this, saved};
    return fn();
}

void Dataset::computeCalc(Values& record) {
    if (!onCalcFields || storedCount_ == fieldCount())
        return;
    withRecord(record, [&] {
        inCalc_ = true;
        try {
            onCalcFields(*this);
        } catch (...) {
            inCalc_ = false;
            throw;
        }
        inCalc_ = false;
    });
}

// ---------------------------------------------------------------- rows

Values Dataset::rowValues(RowId id) {
    auto it = cache_.find(id);
    if (it != cache_.end())
        return it->second;
    Values v = fetchRow(id);
    v.resize(fieldCount());
    computeCalc(v);
    remember(id, v);
    return v;
}

void Dataset::keepRowRead(RowId id, Values values) {
    values.resize(fieldCount());
    computeCalc(values);
    remember(id, values);
}

void Dataset::remember(RowId id, const Values& values) {
    if (cache_.size() >= kCacheLimit)
        cache_.clear();
    cache_[id] = values;
}

void Dataset::forgetRow(RowId id) {
    cache_.erase(id);
}
void Dataset::forgetAllRows() {
    cache_.clear();
}

int Dataset::positionOf(RowId id) {
    if (!positionsValid_) {
        positions_.clear();
        positions_.reserve(view_.size());
        for (size_t i = 0; i < view_.size(); ++i)
            positions_.emplace(view_[i], int(i));
        positionsValid_ = true;
    }
    auto it = positions_.find(id);
    return it == positions_.end() ? -1 : it->second;
}

QVariant Dataset::valueAt(int row, int fieldIndex) {
    if (row == cur_)
        return buf_[fieldIndex];
    if (row < 0 || row >= int(view_.size()))
        return {};
    return rowValues(view_[size_t(row)])[fieldIndex];
}

RowId Dataset::currentRowId() const {
    return cur_ >= 0 ? view_[size_t(cur_)] : -1;
}

void Dataset::loadCurrent() {
    if (cur_ >= 0 && cur_ < int(view_.size()))
        buf_ = rowValues(view_[size_t(cur_)]);
    else
        buf_ = blankRecord();
}

void Dataset::setCurrent(int row) {
    cur_ = row;
    loadCurrent();
    emit currentChanged();
    notifyDetails();
}

// ---------------------------------------------------------------- open, close

void Dataset::open() {
    if (isActive())
        return;
    openSource();
    state_ = State::Browse;
    filtered_ = filtered_ && !filterConds_.isEmpty();
    if (master_) {
        Dataset* m = master_->dataset();
        rangeEmpty_ = !m->isActive() || m->isEmpty() || m->state() == State::Insert;
        rangeValues_.clear();
        if (!rangeEmpty_)
            for (int f : masterFields_)
                rangeValues_ << m->field(f).value();
    }
    rebuild(-1, false);
    emit stateChanged();
}

void Dataset::close() {
    if (!isActive())
        return;
    closeSource();
    state_ = State::Inactive;
    modified_ = false;
    view_.clear();
    positionsValid_ = false;
    cache_.clear();
    cur_ = -1;
    eof_ = bof_ = true;
    buf_ = blankRecord();
    emit viewReset();
    emit currentChanged();
    emit stateChanged();
    notifyDetails();
}

void Dataset::rebuild(RowId keep, bool keepPosition) {
    view_ = rangeEmpty_ && master_ ? std::vector<RowId>{} : fetchView();
    positionsValid_ = false;
    int row = view_.empty() ? -1 : 0;
    if (keep >= 0) {
        int at = positionOf(keep);
        if (at >= 0)
            row = at;
        else if (keepPosition && !view_.empty())
            row = std::min(std::max(cur_, 0), int(view_.size()) - 1);
    }
    bof_ = true;
    eof_ = view_.empty();
    emit viewReset();
    setCurrent(row);
}

void Dataset::reread() {
    if (!isActive())
        return;
    if (isEditing()) {
        state_ = State::Browse;
        modified_ = false;
        emit stateChanged();
    }
    cache_.clear();
    rebuild(currentRowId(), true);
}

// ---------------------------------------------------------------- navigation

int Dataset::recordCount() const {
    checkActive();
    return int(view_.size());
}

int Dataset::recNo() const {
    return cur_;
}
bool Dataset::eof() const {
    checkActive();
    return eof_ || view_.empty();
}
bool Dataset::bof() const {
    checkActive();
    return bof_ || view_.empty();
}
bool Dataset::isEmpty() const {
    checkActive();
    return view_.empty();
}

void Dataset::first() {
    checkActive();
    checkBrowseMode();
    bof_ = true;
    eof_ = view_.empty();
    setCurrent(view_.empty() ? -1 : 0);
}

void Dataset::last() {
    checkActive();
    checkBrowseMode();
    bof_ = view_.empty();
    eof_ = view_.empty();
    setCurrent(int(view_.size()) - 1);
}

void Dataset::next() {
    checkActive();
    checkBrowseMode();
    if (cur_ + 1 < int(view_.size())) {
        bof_ = false;
        eof_ = false;
        setCurrent(cur_ + 1);
    } else {
        eof_ = true;
    }
}

void Dataset::prior() {
    checkActive();
    checkBrowseMode();
    if (cur_ > 0) {
        eof_ = false;
        bof_ = false;
        setCurrent(cur_ - 1);
    } else {
        bof_ = true;
    }
}

void Dataset::moveTo(int row) {
    checkActive();
    if (row < 0 || row >= int(view_.size()))
        return;
    if (row == cur_ && !isEditing())
        return;
    checkBrowseMode();
    bof_ = eof_ = false;
    setCurrent(row);
}

// ---------------------------------------------------------------- editing

void Dataset::markModified() {
    if (isEditing())
        modified_ = true;
}

void Dataset::updateRecord() {
    if (!isEditing())
        return;
    const auto updaters = updaters_; // an updater may unregister another
    for (const auto& u : updaters)
        u.second();
}

int Dataset::addRecordUpdater(std::function<void()> updater) {
    updaters_.emplace_back(nextUpdaterId_, std::move(updater));
    return nextUpdaterId_++;
}

void Dataset::removeRecordUpdater(int id) {
    std::erase_if(updaters_, [id](const auto& u) { return u.first == id; });
}

void Dataset::checkBrowseMode() {
    if (!isEditing())
        return;
    updateRecord();
    if (modified_)
        post();
    else
        cancel();
}

void Dataset::append() {
    checkActive();
    if (isReadOnly())
        failReadOnly();
    checkBrowseMode();
    buf_ = blankRecord();
    // A new detail row gets the master's link values; that alone does not make it changed.
    if (master_ && !rangeEmpty_)
        for (int i = 0; i < linkFields_.size() && i < rangeValues_.size(); ++i)
            buf_[linkFields_[i]] = rangeValues_[i];
    computeCalc(buf_);
    state_ = State::Insert;
    modified_ = false;
    emit stateChanged();
    emit fieldChanged(-1);
    notifyDetails();
}

void Dataset::edit() {
    checkActive();
    if (isReadOnly())
        failReadOnly();
    if (isEditing())
        return;
    if (view_.empty()) {
        append();
        return;
    }
    editStarted(currentRowId());
    state_ = State::Edit;
    modified_ = false;
    emit stateChanged();
}

void Dataset::cancel() {
    checkActive();
    if (!isEditing())
        return;
    state_ = State::Browse;
    modified_ = false;
    loadCurrent();
    emit stateChanged();
    emit fieldChanged(-1);
    emit currentChanged();
    notifyDetails();
}

void Dataset::post() {
    checkActive();
    if (!isEditing())
        return;
    updateRecord();
    Values stored = buf_.mid(0, storedCount_);
    const bool inserting = state_ == State::Insert;
    RowId id = inserting ? -1 : currentRowId();
    if (inserting) {
        id = writeInsert(stored);
    } else if (modified_) {
        writeUpdateResolving(id, stored);
    }
    forgetRow(id);
    state_ = State::Browse;
    modified_ = false;
    placeAfterWrite(id, stored, inserting);
    emit stateChanged();
    emit posted();
}

void Dataset::writeUpdateResolving(RowId id, const Values& stored) {
    try {
        writeUpdate(id, stored);
    } catch (const RowConflict& conflict) {
        if (conflict.deleted || !onConflict)
            throw;
        const ConflictChoice choice = onConflict(*this, conflict);
        if (choice == ConflictChoice::SaveMine) {
            writeOverVersion(id, conflict.version);
            writeUpdate(id, stored);
            return;
        }
        if (choice == ConflictChoice::ShowTheirs) {
            forgetRow(id);
            cancel();
            reread();
        }
        // The user has answered: the save ends here without a further message, the typed values
        // still in the record unless the other version was asked for.
        throw AbortAction();
    }
}

void Dataset::remove() {
    checkActive();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    if (view_.empty())
        fail(QStringLiteral("Нечего удалять: %1.").arg(emptyText()));
    if (isReadOnly())
        failReadOnly();
    if (state_ == State::Edit) {
        state_ = State::Browse;
        modified_ = false;
        loadCurrent();
        emit stateChanged();
    }
    if (beforeDelete)
        beforeDelete(*this);
    const RowId id = currentRowId();
    writeDelete(id);
    forgetRow(id);
    view_.erase(view_.begin() + cur_);
    positionsValid_ = false;
    int row = cur_ < int(view_.size()) ? cur_ : int(view_.size()) - 1;
    eof_ = view_.empty();
    bof_ = view_.empty();
    emit viewReset();
    setCurrent(row);
}

RowId Dataset::writeInsert(Values&) {
    failReadOnly();
}
void Dataset::writeUpdate(RowId, const Values&) {
    failReadOnly();
}
void Dataset::writeDelete(RowId) {
    failReadOnly();
}

// Places a written row in the view: where its order puts it when it still belongs there,
// otherwise it leaves the view and the next row (else the previous) becomes current.
// A changed row that still sorts between its neighbours (a mark set, a name corrected) stays
// where it is: the view, its positions and the views over it are left alone, so saving a row
// costs the same however long the view is.
void Dataset::placeAfterWrite(RowId id, const Values& stored, bool inserted) {
    Values full = stored;
    full.resize(fieldCount());
    computeCalc(full);
    if (!inserted && cur_ >= 0 && matchesView(full) && staysInPlace(cur_, id, full)) {
        remember(id, full);
        bof_ = eof_ = false;
        setCurrent(cur_);
        return;
    }
    int anchor = cur_;
    if (!inserted && cur_ >= 0) {
        view_.erase(view_.begin() + cur_);
        positionsValid_ = false;
    }
    int row;
    if (matchesView(full)) {
        remember(id, full);
        row = lowerBound(full, id);
        view_.insert(view_.begin() + row, id);
    } else if (view_.empty()) {
        row = -1;
    } else {
        row = std::clamp(anchor, 0, int(view_.size()) - 1);
    }
    positionsValid_ = false;
    eof_ = view_.empty();
    bof_ = view_.empty();
    emit viewReset();
    setCurrent(row);
}

bool Dataset::staysInPlace(int row, RowId id, const Values& values) {
    if (row > 0) {
        const RowId before = view_[size_t(row - 1)];
        if (compareOrder(rowValues(before), before, values, id) >= 0)
            return false;
    }
    if (row + 1 < int(view_.size())) {
        const RowId after = view_[size_t(row + 1)];
        if (compareOrder(values, id, rowValues(after), after) >= 0)
            return false;
    }
    return true;
}

int Dataset::lowerBound(const Values& values, RowId id) {
    int lo = 0, hi = int(view_.size());
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        RowId other = view_[size_t(mid)];
        if (compareOrder(rowValues(other), other, values, id) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

int Dataset::compareOrder(const Values&, RowId a, const Values&, RowId b) const {
    return a < b ? -1 : a > b ? 1 : 0;
}

int Dataset::compareValues(FieldType type, const QVariant& a, const QVariant& b) {
    const bool an = a.isNull(), bn = b.isNull();
    if (an || bn)
        return an == bn ? 0 : an ? -1 : 1;
    switch (type) {
    case FieldType::Alpha:
    case FieldType::Memo:
        return ru_collation::compare(a.toString(), b.toString());
    case FieldType::Number: {
        double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    case FieldType::Date: {
        QDate x = a.toDate(), y = b.toDate();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    default: {
        qint64 x = a.toLongLong(), y = b.toLongLong();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    }
}

bool Dataset::sameValue(const QVariant& a, const QVariant& b) {
    const bool an = a.isNull() || (a.typeId() == QMetaType::QString && a.toString().isEmpty());
    const bool bn = b.isNull() || (b.typeId() == QMetaType::QString && b.toString().isEmpty());
    if (an || bn)
        return an == bn;
    if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString)
        return a.toString() == b.toString();
    if (a.typeId() == QMetaType::QDate || b.typeId() == QMetaType::QDate)
        return a.toDate() == b.toDate();
    if (a.typeId() == QMetaType::Double || b.typeId() == QMetaType::Double)
        return a.toDouble() == b.toDouble();
    return a.toLongLong() == b.toLongLong();
}

bool Dataset::matchesView(const Values& values) const {
    if (master_) {
        if (rangeEmpty_)
            return false;
        for (int i = 0; i < linkFields_.size() && i < rangeValues_.size(); ++i) {
            const QVariant& want = rangeValues_[i];
            if (want.isNull() || !sameValue(values[linkFields_[i]], want))
                return false;
        }
    }
    if (filtered_)
        for (const Condition& c : filterConds_)
            if (!sameValue(values[c.field], c.value))
                return false;
    return true;
}

// ---------------------------------------------------------------- search

bool Dataset::locate(const QString& fieldNames, const QVariantList& values) {
    checkActive();
    checkBrowseMode();
    if (fieldNames != locateNames_) {
        QList<int> indexes;
        for (const QString& name : fieldNames.split(u';'))
            indexes << field(name.trimmed()).index();
        locateFields_ = indexes;
        locateNames_ = fieldNames;
    }
    if (locateFields_.size() != values.size())
        fail(QStringLiteral("Ошибка программы: число значений поиска не совпадает с числом полей"));
    Values wanted;
    wanted.reserve(values.size());
    for (int i = 0; i < values.size(); ++i)
        wanted << field(locateFields_[i]).convert(values[i]);
    const int row = findMatch(locateFields_, wanted);
    if (row < 0)
        return false;
    bof_ = eof_ = false;
    setCurrent(row);
    return true;
}

int Dataset::findMatch(const QList<int>& fields, const Values& wanted) {
    for (int row = 0; row < int(view_.size()); ++row) {
        const Values v = rowValues(view_[size_t(row)]);
        bool all = true;
        for (int i = 0; i < fields.size() && all; ++i)
            all = sameValue(v[fields[i]], wanted[i]);
        if (all)
            return row;
    }
    return -1;
}

void Dataset::findNearest(const QVariantList& values) {
    checkActive();
    checkBrowseMode();
    const QList<int> order = orderFields();
    if (order.isEmpty())
        fail(QStringLiteral("Ошибка программы: у набора данных %1 нет индекса для поиска").arg(objectName()));
    const int n = std::min<int>(int(values.size()), int(order.size()));
    Values key;
    for (int i = 0; i < n; ++i)
        key << field(order[i]).convert(values[i]);
    const int lo = nearestPosition(key);
    if (view_.empty())
        return;
    bof_ = eof_ = false;
    setCurrent(std::min(lo, int(view_.size()) - 1));
}

int Dataset::nearestPosition(const Values& key) {
    const QList<int> order = orderFields();
    const int n = int(key.size());
    int lo = 0, hi = int(view_.size());
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        const Values v = rowValues(view_[size_t(mid)]);
        int c = 0;
        for (int i = 0; i < n && c == 0; ++i) {
            const FieldType type = field(order[i]).type();
            // Texts are found without regard to case: "ив" finds ИВАНОВ.
            if ((type == FieldType::Alpha || type == FieldType::Memo) && !v[order[i]].isNull() &&
                !key[i].isNull())
                c = ru_collation::comparePrimary(v[order[i]].toString(), key[i].toString());
            else
                c = compareValues(type, v[order[i]], key[i]);
        }
        if (c < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

bool Dataset::findFirst() {
    return findFrom(0);
}
bool Dataset::findNext() {
    return findFrom(cur_ + 1);
}

// The first row from `row` on that the record filter routine accepts becomes current.
bool Dataset::findFrom(int row) {
    checkActive();
    checkBrowseMode();
    for (; row < int(view_.size()); ++row) {
        Values v = rowValues(view_[size_t(row)]);
        if (!onFilterRecord || withRecord(v, [&] { return onFilterRecord(*this); })) {
            bof_ = eof_ = false;
            setCurrent(row);
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- filter

void Dataset::setFilter(const QString& expression) {
    // The one form the program uses: ([FIELD]= 'value').
    static const QRegularExpression form(
        QStringLiteral("^\\s*\\(\\s*\\[(\\w+)\\]\\s*=\\s*'(.*)'\\s*\\)\\s*$"));
    QList<FilterCondition> conds;
    if (!expression.trimmed().isEmpty()) {
        const auto m = form.match(expression);
        if (!m.hasMatch())
            fail(QStringLiteral("Ошибка программы: неверное выражение фильтра: %1").arg(expression));
        conds << FilterCondition{m.captured(1), m.captured(2)};
    }
    setFilterConditions(conds);
    filterText_ = expression;
}

void Dataset::setFilterConditions(const QList<FilterCondition>& conditions) {
    QList<Condition> parsed;
    for (const FilterCondition& c : conditions) {
        Field& f = field(c.field);
        parsed << Condition{f.index(), f.convert(c.value)};
    }
    filterConds_ = parsed;
    filterText_.clear();
    if (filtered_ && isActive()) {
        checkBrowseMode();
        rebuild(-1, false);
    }
}

void Dataset::setFiltered(bool on) {
    if (on == filtered_)
        return;
    if (isActive())
        checkBrowseMode();
    filtered_ = on;
    if (isActive())
        rebuild(-1, false);
}

// ---------------------------------------------------------------- master-detail

void Dataset::setMasterSource(DataSource* master, const QString& masterFields) {
    if (master_)
        master_->dataset()->details_.removeAll(this);
    master_ = master;
    masterFields_.clear();
    linkFields_.clear();
    if (!master)
        return;
    Dataset* m = master->dataset();
    const QStringList names = masterFields.split(u';');
    const QList<int> order = orderFields();
    if (order.size() < names.size())
        fail(QStringLiteral("Ошибка программы: у набора данных %1 нет индекса для связи с %2")
                 .arg(objectName(), m->objectName()));
    for (int i = 0; i < names.size(); ++i) {
        masterFields_ << m->field(names[i].trimmed()).index();
        linkFields_ << order[i];
    }
    m->details_ << this;
}

void Dataset::masterChanged() {
    if (!isActive() || !master_)
        return;
    Dataset* m = master_->dataset();
    const bool empty = !m->isActive() || m->isEmpty() || m->state() == State::Insert;
    QVariantList values;
    if (!empty)
        for (int f : masterFields_)
            values << m->field(f).value();
    if (empty == rangeEmpty_ && values == rangeValues_)
        return;
    checkBrowseMode();
    rangeEmpty_ = empty;
    rangeValues_ = values;
    rebuild(-1, false);
}
