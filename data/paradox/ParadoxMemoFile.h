#pragma once
// The blob file (.MB) of a Paradox table: the full text of memo fields and the bytes of the
// other blob fields (B, F, O, G). A record keeps the leading part of a memo and a 10-byte
// reference: offset into the .MB (its low byte is an index), length, modification number.
//
// The .MB is made of 4 KB chunks. Chunk 0 is the file's header (type 0). A blob larger than a
// few kilobytes has a block of its own (type 2: type byte, chunk count, length, modification
// number, then the data), referenced with index 0xFF. Smaller ones share a block (type 3): after
// a 12-byte block header, a table of 64 five-byte entries (data offset in 16-byte units, length
// in 16-byte units rounded up, modification number, bytes used of the last unit: 1 to 16) says
// where each lies.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class ParadoxMemoFile {
public:
    ParadoxMemoFile() = default; // no .MB file
    // Takes the whole .MB file; checks its header chunk. Throws ParadoxError.
    ParadoxMemoFile(QByteArray data, const QString& fileName);

    bool isPresent() const { return m_present; }
    const QString& fileName() const { return m_fileName; }

    // The `length` bytes the reference `offset` points at, checked against the block that holds
    // them and the file's size. Throws ParadoxError (naming `where`, e.g. the record and field).
    QByteArrayView blob(quint32 offset, quint32 length, const QString& where) const;

private:
    QByteArray m_data;
    QString m_fileName;
    bool m_present = false;
};
