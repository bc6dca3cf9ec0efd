#pragma once
// The workbook's shared string table (xl/sharedStrings.xml). Every reader takes text from it
// correctly, which is not so for inline strings. A text already in the table is reused.
#include "spreadsheet/XmlPart.h"

#include <QHash>
#include <QList>
#include <QString>
#include <string>

class SharedStrings {
public:
    // An empty table, for a package that has none.
    static const char* emptyXml();

    // Returns false when the part is not a string table.
    bool load(const std::string& xml);
    std::string save();
    bool changed() const { return changed_; }
    int size() const { return count_; }

    // The index of `text` in the table, adding it when it is new. Control characters, which XML
    // cannot carry, are left out (readers disagree on their escaped form).
    int add(const QString& text);
    // The text of entry `index` (a rich text's runs joined); empty for an index the table lacks.
    QString text(int index) const;

private:
    XmlPart part_;
    QHash<QString, int> index_;
    QList<QString> texts_; // by index
    std::string tName_, siName_;
    int count_ = 0;
    bool changed_ = false;
};

// `text` without the characters an XML document cannot hold: control characters other than tab
// and line feed, lone surrogates, U+FFFE and U+FFFF. Line breaks become line feeds (CR LF and a
// lone CR alike).
QString withoutControlCharacters(const QString& text);
