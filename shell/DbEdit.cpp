#include "shell/DbEdit.h"

#include "data/Dataset.h"
#include "data/DataSource.h"
#include "data/DbError.h"
#include "shell/DateBox.h"
#include "shell/ErrorGuard.h"

#include <limits>
#include <QKeyEvent>
#include <QLocale>
#include <QMimeData>
#include <QRegularExpressionValidator>
#include <QTextCursor>
#include <QTimer>

QString qtInputMask(const QString& editMask) {
    if (editMask.isEmpty())
        return {};
    const QStringList parts = editMask.split(u';');
    QString mask = parts.value(0);
    if (mask.startsWith(u'!'))
        mask.remove(0, 1);
    mask.replace(QStringLiteral("\\"), QString()); // escaped literals stand for themselves
    const QString dateSeparator =
        QLocale().dateFormat(QLocale::ShortFormat).contains(u'.') ? QStringLiteral(".") : QStringLiteral("/");
    mask.replace(u'/', dateSeparator);
    const QString blank = parts.value(2, QStringLiteral("_"));
    return mask + u';' + (blank.isEmpty() ? QStringLiteral("_") : blank.left(1));
}

bool caretAtEnd(const QLineEdit* box) {
    if (box->hasSelectedText())
        return false;
    QString shown = box->displayText();
    if (!box->inputMask().isEmpty()) // trailing blanks and separators are no text
        while (!shown.isEmpty() && !shown.back().isLetterOrNumber())
            shown.chop(1);
    return box->cursorPosition() >= shown.size();
}

FieldLink::FieldLink(QWidget* box, DataSource* source, const QString& fieldName)
    : QObject(box), box_(box), dataset_(source->dataset()), fieldName_(fieldName) {
    connect(dataset_, &Dataset::currentChanged, this, &FieldLink::refresh);
    connect(dataset_, &Dataset::stateChanged, this, &FieldLink::refresh);
    connect(dataset_, &Dataset::fieldChanged, this, [this](int index) {
        if (!writing_ && (index < 0 || (field() && field()->index() == index)))
            refresh();
    });
    updaterId_ = dataset_->addRecordUpdater([this] { commit(); });
    QTimer::singleShot(0, this, &FieldLink::refresh);
}

FieldLink::~FieldLink() {
    dataset_->removeRecordUpdater(updaterId_);
}

Field* FieldLink::field() const {
    return dataset_->findField(fieldName_);
}

void FieldLink::refresh() {
    if (writing_)
        return; // the box already shows what is being written
    if (pending_ && dataset_->isEditing())
        return; // keep what the user is typing
    pending_ = false;
    QString text;
    if (dataset_->isActive())
        if (Field* f = field())
            text = f->displayText();
    emit showText(text);
}

void FieldLink::userEdited(const QString& text) {
    Field* f = field();
    if (!f)
        return;
    // While the row starts editing and the text goes in, the box keeps what the user typed.
    writing_ = true;
    const bool ok = runGuarded([&] {
        if (!dataset_->isEditing())
            dataset_->edit();
        if (f->def().isText()) {
            f->setAsString(text);
        } else {
            pendingText_ = text;
            pending_ = true;
            dataset_->markModified();
        }
    });
    writing_ = false;
    if (!ok)
        refresh();
}

void FieldLink::commit() {
    if (!pending_)
        return;
    Field* f = field();
    writing_ = true;
    try {
        f->setAsString(pendingText_);
    } catch (...) {
        writing_ = false;
        throw;
    }
    writing_ = false;
    pending_ = false;
}

bool FieldLink::commitGuarded() {
    return runGuarded([this] { commit(); });
}

DbEdit::DbEdit(const QString& objectName, DataSource* source, const QString& fieldName, QWidget* parent)
    : QLineEdit(parent), link_(new FieldLink(this, source, fieldName)) {
    setObjectName(objectName);
    if (Field* f = link_->field()) {
        if (f->type() == FieldType::Date)
            makeDateTyping(this);
        else if (!f->editMask.isEmpty())
            setInputMask(qtInputMask(f->editMask));
        if (f->type() == FieldType::Alpha)
            setMaxLength(f->typedWidth > 0 ? f->typedWidth : f->size());
        if (f->def().isInteger())
            setValidator(
                new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-+]?[0-9]*")), this));
        if (f->isReadOnly() || f->isCalculated() || f->dataset()->isReadOnly())
            setReadOnly(true);
    }
    connect(link_, &FieldLink::showText, this, [this](const QString& text) {
        if (text != this->text()) {
            setText(text);
            setCursorPosition(0); // a text longer than the box shows its beginning
        }
    });
    connect(this, &QLineEdit::textEdited, link_, &FieldLink::userEdited);
    connect(this, &QLineEdit::returnPressed, link_, &FieldLink::commitGuarded);
}

void DbEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A value the field refuses is not taken: the message is shown and the box keeps the focus.
    if (link_->hasPending() && !link_->commitGuarded())
        QTimer::singleShot(0, this, [this] { setFocus(); });
}

DbMemo::DbMemo(const QString& objectName, DataSource* source, const QString& fieldName, QWidget* parent)
    : QPlainTextEdit(parent), link_(new FieldLink(this, source, fieldName)) {
    setObjectName(objectName);
    if (Field* f = link_->field(); f && f->type() == FieldType::Alpha)
        maxLength_ = f->size();
    connect(link_, &FieldLink::showText, this, [this](const QString& text) {
        if (text == toPlainText())
            return;
        showing_ = true;
        setPlainText(text);
        showing_ = false;
    });
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!showing_ && !isReadOnly())
            link_->userEdited(toPlainText());
    });
}

int DbMemo::room() const {
    if (maxLength_ <= 0)
        return std::numeric_limits<int>::max();
    const QTextCursor cursor = textCursor();
    const int selected = cursor.selectionEnd() - cursor.selectionStart();
    return maxLength_ - (int(toPlainText().size()) - selected);
}

void DbMemo::keyPressEvent(QKeyEvent* event) {
    // Enter types a line break, one character like any other.
    const bool typesText =
        !event->text().isEmpty() &&
        (event->text().at(0).isPrint() || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter);
    if (maxLength_ > 0 && typesText && !isReadOnly() && room() < int(event->text().size())) {
        event->accept(); // the box is full: the key types nothing
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void DbMemo::insertFromMimeData(const QMimeData* source) {
    if (maxLength_ <= 0 || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    textCursor().insertText(source->text().left(std::max(room(), 0)));
}
