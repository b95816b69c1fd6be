#include "store/data_set.h"

#include "platform/core/convert.h"
#include "platform/core/failure.h"
#include "store/connection.h"
#include "store/schema.h"
#include "store/statement.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <sqlite3.h>
#include <unordered_map>

using Kind = GridSource::ColumnKind;

namespace {

// Stored dates are ISO text: "YYYY-MM-DD" for whole days, else with the time.
QVariant dateFromStorage(const QVariant &stored)
{
    const QString text = stored.toString();
    if (text.size() == 10)
        return QDate::fromString(text, Qt::ISODate).startOfDay();
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}


// Typed value of a stored cell, before the memo rule.
QVariant typed(const FieldDef &field, const QVariant &stored)
{
    if (stored.isNull())
        return {};
    switch (field.kind) {
    case Kind::DateTime:
        return dateFromStorage(stored);
    case Kind::Integer:
        // A number too large for the column is handed out whole, never wrapped.
        if (stored.typeId() == QMetaType::LongLong && stored.toLongLong() == qint32(stored.toLongLong()))
            return QVariant(stored.toInt());
        return stored;
    default:
        return stored;
    }
}

// The first `width` characters, never splitting a surrogate pair.
QString cut(const QString &text, int width)
{
    if (width <= 0 || text.size() <= width)
        return text;
    int end = width;
    if (text.at(end - 1).isHighSurrogate())
        --end;
    return text.left(end);
}

[[noreturn]] void notADate(const QVariant &value)
{
    throw Failure(QStringLiteral("'%1' is not a valid date").arg(value.toString()));
}

// ISO text has four-digit years: Qt writes an empty text for a date outside
// years 1 to 9999 (a negative year would not sort either), so such a date is refused.
QString dateToStorage(const QDateTime &moment)
{
    const int year = moment.date().year();
    if (!moment.isValid() || year < 1 || year > 9999)
        throw Failure(QStringLiteral("'%1' is not a valid date").arg(Convert::dateTimeToStr(moment)));
    if (moment.time() == QTime(0, 0))
        return moment.date().toString(Qt::ISODate);
    return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// One read transaction around the statements of an opening, so that the
// rowids, the count and the rows read come from the same state of the file.
class ReadTransaction {
public:
    explicit ReadTransaction(sqlite3 *db) : db_(sqlite3_get_autocommit(db) ? db : nullptr)
    {
        if (db_)
            Statement::execute(db_, QStringLiteral("BEGIN"));
    }
    ~ReadTransaction()
    {
        if (db_)
            sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    }
    ReadTransaction(const ReadTransaction &) = delete;
    ReadTransaction &operator=(const ReadTransaction &) = delete;

private:
    sqlite3 *db_;
};

} // namespace

DataSet::DataSet(Connection *connection, const QString &name, QObject *parent)
    : GridSource(parent), connection_(connection), name_(name)
{
}

DataSet::~DataSet()
{
    if (active_)
        connection_->detach(this);
}

void DataSet::bindParameters(Statement &) const {}

void DataSet::reset()
{
    fields_.clear();
    shape_.reset();
    rowids_.clear();
    whole_.clear();
    whole_.shrink_to_fit();
    resident_ = false;
    sourceCount_ = 0;
    pages_.clear();
    kept_.clear();
    changed_.clear();
    order_.clear();
    order_.shrink_to_fit();
    ordered_ = false;
    appended_ = 0;
    state_ = State::Browse;
}

void DataSet::Open()
{
    if (active_)
        return;
    sqlite3 *db = connection_->handle();
    reset();
    try {
        ReadTransaction reading(db);
        shape_ = SelectShape::of(selectText());
        if (shape_)
            readRowids(db);
        else
            readWhole(db);
    } catch (...) {
        reset();
        throw;
    }
    connection_->attach(this);
    active_ = true;
    current_ = sourceCount_ > 0 ? 0 : -1;
    eof_ = sourceCount_ == 0;
    changed();
}

void DataSet::readRowids(sqlite3 *db)
{
    const QString &table = shape_->table;
    const QStringList triggers = Schema::trackingTriggers(table);
    const bool tracked = shape_->condition.isEmpty()
                         && Statement::scalar(db, QStringLiteral("select count(*) from sqlite_schema where type = 'trigger' "
                                                                 "and name in (?, ?)"),
                                              {triggers.at(0), triggers.at(1)})
                                    .toInt() == 2;
    if (tracked) {
        // The whole table: every rowid from the lowest to the highest except
        // the removed ones, found without reading a row.
        const QVariant low = Statement::scalar(db, QStringLiteral("select min(_rowid_) from ") + table);
        if (!low.isNull()) {
            qint64 next = low.toLongLong();
            const qint64 high = Statement::scalar(db, QStringLiteral("select max(_rowid_) from ") + table).toLongLong();
            Statement gaps(db, QStringLiteral("select rid from removed_rows where tbl = ? and rid between ? and ? order by rid"));
            gaps.bindAll({table, next, high});
            while (gaps.step()) {
                const qint64 gap = gaps.value(0).toLongLong();
                rowids_.appendRange(next, gap - 1);
                next = gap + 1;
            }
            rowids_.appendRange(next, high);
        }
    } else {
        Statement rows(db, QStringLiteral("select _rowid_ from %1 %2").arg(table, shape_->condition));
        bindParameters(rows);
        while (rows.step())
            rowids_.append(rows.value(0).toLongLong());
    }
    sourceCount_ = rowids_.size();

    Statement one(db, shape_->withRowid(QStringLiteral("where _rowid_ = ?")));
    describe(one, 1, {});
    resident_ = sourceCount_ <= residentLimit;
    if (resident_) {
        for (int page = 0; page * pageSize < sourceCount_; ++page)
            pages_[page] = fetchPage(page, nullptr);
    }
}

void DataSet::readWhole(sqlite3 *db)
{
    Statement statement(db, selectText());
    bindParameters(statement);
    while (statement.step())
        whole_.push_back(readRow(statement, false));
    sourceCount_ = int(whole_.size());
    resident_ = true;
    describe(statement, 0, whole_.empty() ? QVariantList() : whole_.front().values);
}

void DataSet::describe(const Statement &statement, int offset, const QVariantList &firstRow)
{
    fields_.clear();
    for (int column = offset; column < statement.columnCount(); ++column) {
        const QString declared = statement.declaredType(column);
        FieldDef field = FieldDef::fromDeclaredType(statement.columnName(column), declared);
        if (declared.isEmpty() && !firstRow.isEmpty()) {
            // An expression has no declared type: its first value tells the kind.
            const QVariant first = firstRow.at(column - offset);
            if (first.typeId() == QMetaType::LongLong)
                field.kind = Kind::Integer;
            else if (first.typeId() == QMetaType::Double)
                field.kind = Kind::Float;
        }
        if (const int declaredWidthOfWindow = declaredWidth(field.name); declaredWidthOfWindow > 0)
            field.size = field.size > 0 ? std::min(field.size, declaredWidthOfWindow) : declaredWidthOfWindow;
        fields_ << field;
    }
}

void DataSet::Close()
{
    if (!active_)
        return;
    connection_->detach(this);
    reset();
    active_ = false;
    current_ = -1;
    eof_ = true;
    changed();
}

void DataSet::requireActive() const
{
    if (!active_)
        throw Failure(name_ + QStringLiteral(": Cannot perform this operation on a closed dataset"));
}

void DataSet::First()
{
    requireActive();
    current_ = recordCount() > 0 ? 0 : -1;
    eof_ = current_ < 0;
    emit gridCurrentRowChanged(current_);
}

void DataSet::Next()
{
    requireActive();
    if (current_ + 1 < recordCount()) {
        ++current_;
        emit gridCurrentRowChanged(current_);
    } else {
        eof_ = true;
    }
}

int DataSet::recordCount() const
{
    return ordered_ ? int(order_.size()) : sourceCount_;
}

void DataSet::setCurrentRow(int row)
{
    requireActive();
    if (row < 0 || row >= recordCount())
        return;
    current_ = row;
    eof_ = false;
    emit gridCurrentRowChanged(row);
}

Field DataSet::fieldByName(const QString &field)
{
    for (int i = 0; i < fields_.size(); ++i) {
        if (fields_.at(i).name.compare(field, Qt::CaseInsensitive) == 0)
            return Field(this, i);
    }
    throw Failure(QStringLiteral("%1: Field '%2' not found").arg(name_, field));
}

QVariant DataSet::fieldValue(int index)
{
    requireActive();
    const FieldDef &field = fields_.at(index);
    QVariant value;
    if (state_ != State::Browse)
        value = typed(field, pending_.values.at(index));
    else if (current_ >= 0)
        value = typed(field, rowAt(current_).values.at(index));
    if (field.kind == Kind::Memo)
        return value.isNull() ? QString(QLatin1String("")) : value.toString();
    return value;
}

void DataSet::setFieldValue(int index, const QVariant &value)
{
    requireWritable();
    if (state_ == State::Browse)
        throw Failure(name_ + QStringLiteral(": Dataset not in edit or insert mode"));
    pending_.values[index] = storedValue(fields_.at(index), value);
}

QVariant DataSet::storedValue(const FieldDef &field, const QVariant &value) const
{
    if (value.isNull() && value.typeId() != QMetaType::QString)
        return {};
    switch (field.kind) {
    case Kind::Text:
        // Never null: Statement binds even an empty text as a zero-length text.
        return cut(value.toString(), field.size);
    case Kind::Memo:
        return value.toString().isEmpty() ? QVariant() : QVariant(value.toString());
    case Kind::Integer: {
        if (value.typeId() == QMetaType::QString)
            return QVariant(qlonglong(Convert::strToInt(value.toString())));
        const qlonglong number = value.toLongLong();
        if (number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
            throw Failure(QStringLiteral("%1 超出了“%2”能保存的整数范围（-2147483648 至 2147483647），未保存。")
                              .arg(QString::number(number), field.name));
        return QVariant(number);
    }
    case Kind::Float:
        return QVariant(value.toDouble());
    case Kind::DateTime:
        switch (value.typeId()) {
        case QMetaType::QString:
            return dateToStorage(Convert::strToDate(value.toString()).startOfDay());
        case QMetaType::QDate:
            if (!value.toDate().isValid())
                notADate(value);
            return dateToStorage(value.toDate().startOfDay());
        case QMetaType::QDateTime:
            return dateToStorage(value.toDateTime());
        default:
            notADate(value);
        }
    }
    return value;
}

int DataSet::sourceAt(int row) const
{
    return ordered_ ? order_.at(row) : row;
}

const DataSet::Row &DataSet::rowAt(int row)
{
    return sourceRow(sourceAt(row));
}

const DataSet::Row &DataSet::sourceRow(int source)
{
    if (auto found = changed_.find(source); found != changed_.end())
        return found->second;
    if (auto found = kept_.find(source); found != kept_.end())
        return found->second;
    if (!shape_)
        return whole_.at(source);
    const int page = source / pageSize;
    auto found = pages_.find(page);
    if (found == pages_.end()) {
        if (int(pages_.size()) >= cachedPages) {
            const auto oldest = std::min_element(pages_.begin(), pages_.end(),
                                                 [](const auto &a, const auto &b) { return a.second.used < b.second.used; });
            pages_.erase(oldest);
        }
        found = pages_.emplace(page, fetchPage(page, nullptr)).first;
    }
    found->second.used = ++uses_;
    return found->second.rows.at(source % pageSize);
}

DataSet::Page DataSet::fetchPage(int page, const Page *previous)
{
    const int start = page * pageSize;
    const int count = std::min(pageSize, sourceCount_ - start);
    sqlite3 *db = connection_->handle();
    std::unique_ptr<Statement> statement;
    if (rowids_.consecutive(start, count)) {
        statement = std::make_unique<Statement>(db, shape_->withRowid(QStringLiteral("where _rowid_ between ? and ?")));
        statement->bindAll({rowids_.at(start), rowids_.at(start + count - 1)});
    } else {
        const QString marks = QStringList(QList<QString>(count, QStringLiteral("?"))).join(',');
        statement = std::make_unique<Statement>(db, shape_->withRowid(QStringLiteral("where _rowid_ in (%1)").arg(marks)));
        for (int i = 0; i < count; ++i)
            statement->bind(i + 1, rowids_.at(start + i));
    }
    std::unordered_map<qint64, Row> found;
    while (statement->step()) {
        Row row = readRow(*statement, true);
        found.emplace(row.rowid, std::move(row));
    }
    Page result;
    result.rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        const qint64 rowid = rowids_.at(start + i);
        if (auto hit = found.find(rowid); hit != found.end())
            result.rows.push_back(std::move(hit->second));
        else if (previous)  // gone since: it keeps what it showed
            result.rows.push_back(previous->rows.at(i));
        else  // deleted by another program before this data set read it
            result.rows.push_back(Row{rowid, QVariantList(fields_.size())});
    }
    return result;
}

DataSet::Row DataSet::readRow(const Statement &statement, bool withRowid) const
{
    Row row;
    int column = 0;
    if (withRowid)
        row.rowid = statement.value(column++).toLongLong();
    for (; column < statement.columnCount(); ++column)
        row.values << statement.value(column);
    return row;
}

void DataSet::keepRowBeforeChange(const QString &table, qint64 rowid)
{
    if (!active_ || !shape_ || shape_->table.compare(table, Qt::CaseInsensitive) != 0 || resident_)
        return;
    const int source = rowids_.indexOf(rowid);
    if (source < 0 || changed_.contains(source) || kept_.contains(source))
        return;
    Row row = sourceRow(source);
    kept_.emplace(source, std::move(row));
}

void DataSet::requireWritable() const
{
    requireActive();
    if (tableName().isEmpty())
        throw Failure(name_ + QStringLiteral(": Cannot modify a read-only dataset"));
}

void DataSet::makeOrderExplicit()
{
    if (ordered_)
        return;
    order_.resize(sourceCount_);
    std::iota(order_.begin(), order_.end(), 0);
    ordered_ = true;
}

void DataSet::Append()
{
    requireWritable();
    if (state_ != State::Browse)
        Post();
    pending_ = Row{0, QVariantList(fields_.size())};
    state_ = State::Insert;
}

void DataSet::Edit()
{
    requireWritable();
    if (state_ != State::Browse)
        return;
    if (current_ < 0)
        throw Failure(name_ + QStringLiteral(": Cannot perform this operation on an empty dataset"));
    pending_ = rowAt(current_);
    state_ = State::Edit;
}

void DataSet::Post()
{
    requireWritable();
    if (state_ == State::Browse)
        return;
    QStringList names;
    for (const FieldDef &field : std::as_const(fields_))
        names << '"' + field.name + '"';
    if (state_ == State::Insert) {
        const QString marks = QStringList(QList<QString>(names.size(), QStringLiteral("?"))).join(',');
        pending_.rowid = connection_->write(
            QStringLiteral("insert into %1 (%2) values (%3)").arg(tableName(), names.join(','), marks), pending_.values);
        const int source = sourceCount_ + appended_++;
        changed_[source] = pending_;
        makeOrderExplicit();
        order_.push_back(source);
        current_ = int(order_.size()) - 1;
    } else {
        QStringList assignments;
        for (const QString &name : std::as_const(names))
            assignments << name + QStringLiteral("=?");
        QVariantList values = pending_.values;
        values << pending_.rowid;
        connection_->keepRowBeforeChange(tableName(), pending_.rowid, this);
        connection_->write(QStringLiteral("update %1 set %2 where _rowid_=?").arg(tableName(), assignments.join(',')),
                           values);
        changed_[sourceAt(current_)] = pending_;
    }
    state_ = State::Browse;
    eof_ = false;
    changed();
    emit gridCurrentRowChanged(current_);
}

void DataSet::Cancel()
{
    state_ = State::Browse;
}

void DataSet::Delete()
{
    requireWritable();
    // Delete on a row not yet posted only throws that row away: the row
    // that was current before it is a stored record.
    if (state_ == State::Insert) {
        Cancel();
        return;
    }
    Cancel();
    if (current_ < 0)
        throw Failure(name_ + QStringLiteral(": Cannot perform this operation on an empty dataset"));
    const qint64 rowid = rowAt(current_).rowid;
    connection_->keepRowBeforeChange(tableName(), rowid, this);
    connection_->write(QStringLiteral("delete from %1 where _rowid_=?").arg(tableName()), {rowid});
    const int source = sourceAt(current_);
    changed_.erase(source);
    kept_.erase(source);
    makeOrderExplicit();
    order_.erase(order_.begin() + current_);
    if (order_.empty()) {
        current_ = -1;
        eof_ = true;
    } else if (current_ >= int(order_.size())) {
        current_ = int(order_.size()) - 1;
    }
    changed();
    emit gridCurrentRowChanged(current_);
}

DataSet::Row DataSet::reread(const Row &row)
{
    Statement statement(connection_->handle(), shape_->withRowid(QStringLiteral("where _rowid_ = ?")));
    statement.bind(1, row.rowid);
    return statement.step() ? readRow(statement, true) : row;
}

void DataSet::Refresh()
{
    requireActive();
    Cancel();
    if (!shape_) {
        const int row = current_;
        Close();
        Open();
        if (row >= 0)
            setCurrentRow(std::min(row, recordCount() - 1));
        return;
    }
    if (resident_) {
        for (auto &[page, held] : pages_)
            held = fetchPage(page, &held);
    } else {
        pages_.clear();
    }
    for (auto *rows : {&kept_, &changed_}) {
        for (auto &[source, row] : *rows)
            row = reread(row);
    }
    changed();
}

void DataSet::DisableControls()
{
    ++suspended_;
}

void DataSet::EnableControls()
{
    if (suspended_ > 0 && --suspended_ == 0)
        emit gridReset();
}

void DataSet::changed()
{
    if (suspended_ == 0)
        emit gridReset();
}

int DataSet::gridRowCount() const
{
    return active_ ? recordCount() : 0;
}

int DataSet::gridColumnCount() const
{
    return int(fields_.size());
}

QString DataSet::gridColumnTitle(int column) const
{
    return fields_.at(column).name;
}

GridSource::ColumnKind DataSet::gridColumnKind(int column) const
{
    return fields_.at(column).kind;
}

int DataSet::gridDisplayWidth(int column) const
{
    const FieldDef &field = fields_.at(column);
    return field.kind == Kind::Text ? field.size : 0;
}

QVariant DataSet::gridValue(int row, int column)
{
    if (!active_ || row < 0 || row >= recordCount())
        return {};
    return typed(fields_.at(column), rowAt(row).values.at(column));
}

void DataSet::gridSetCurrentRow(int row)
{
    if (active_ && row >= 0 && row < recordCount()) {
        current_ = row;
        eof_ = false;
    }
}
