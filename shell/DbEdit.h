#pragma once
// Edit boxes bound to one field of a data source's current row. Typing puts the row into editing
// (on an empty view it starts a new row); text goes into the field at once, other values when the
// box is left or the row is posted, so a half-typed date or number is never refused mid-way.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>

class DataSource;
class Dataset;
class Field;

// The binding both boxes share: which field, when to show it, when to write it.
class FieldLink : public QObject {
    Q_OBJECT
public:
    FieldLink(QWidget* box, DataSource* source, const QString& fieldName);
    ~FieldLink() override;
    Dataset* dataset() const { return dataset_; }
    Field* field() const;
    // Called by the box when the user changed its text.
    void userEdited(const QString& text);
    // Writes pending text into the field; throws DbError when the field refuses it.
    void commit();
    // Writes pending text, reporting a refusal in the standard error box; false when refused.
    bool commitGuarded();
    bool hasPending() const { return pending_; }

signals:
    void showText(const QString& text); // the box shows this

private:
    void refresh();

    QWidget* box_;
    Dataset* dataset_;
    QString fieldName_;
    QString pendingText_;
    bool pending_ = false;
    bool writing_ = false;
    int updaterId_ = 0;
};

class DbEdit : public QLineEdit {
    Q_OBJECT
public:
    DbEdit(const QString& objectName, DataSource* source, const QString& fieldName,
           QWidget* parent = nullptr);
    FieldLink* link() const { return link_; }

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    FieldLink* link_;
};

// A memo box. Bound to a text field of limited width it stops the typing (and a paste) at that
// width, as a line box does, so nothing typed is cut off unseen when the row is written.
class DbMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    DbMemo(const QString& objectName, DataSource* source, const QString& fieldName,
           QWidget* parent = nullptr);
    FieldLink* link() const { return link_; }
    // The most characters the box takes; 0: no limit.
    int maxLength() const { return maxLength_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // How many more characters fit, the selection being replaced.
    int room() const;

    FieldLink* link_;
    int maxLength_ = 0;
    bool showing_ = false;
};

// Whether the caret stands after the last character typed (a masked box's blanks do not count)
// with nothing selected: only then does the Right arrow step on to the next box.
bool caretAtEnd(const QLineEdit* box);

// The input mask of a field object ("!99/99/0000;1;_") in Qt's form, with the locale's separator.
QString qtInputMask(const QString& editMask);
