#pragma once
// A cell of a sheet addressed as in A1 notation ("A14", "$Q$16"), or by row and column numbers.
#include <optional>
#include <QString>
#include <QStringView>
#include <string>

struct CellRef {
    static constexpr int kMaxRow = 1048576;
    static constexpr int kMaxColumn = 16384; // XFD

    int row = 1;    // from 1
    int column = 1; // from 1: A = 1, Q = 17

    CellRef() = default;
    // Throws std::invalid_argument outside the sheet's bounds.
    CellRef(int row, int column);
    // Throws std::invalid_argument when the text is not a cell reference.
    CellRef(const char* a1);
    CellRef(const QString& a1);

    static std::optional<CellRef> parse(QStringView a1);
    QString name() const;
    // Appends the A1 name to `out` (the sheet writer's fast path).
    void appendName(std::string& out) const;

    friend bool operator==(const CellRef&, const CellRef&) = default;
};

// "A" for 1, "Q" for 17, "AA" for 27.
QString columnName(int column);
