#include "data/paradox/ParadoxMemoFile.h"

#include "data/paradox/ParadoxError.h"
#include "data/paradox/ParadoxFormat.h"
#include "data/paradox/ParadoxHeader.h"

namespace {
constexpr qint64 kChunk = 4096;
constexpr int kSingleBlobIndex = 0xFF;
constexpr int kSubBlockHeader = 12;
constexpr int kSubEntries = 64;
constexpr int kSubEntrySize = 5;
constexpr int kSingleBlobHeader = 9;
} // namespace

ParadoxMemoFile::ParadoxMemoFile(QByteArray data, const QString& fileName)
    : m_data(std::move(data)), m_fileName(fileName), m_present(true) {
    if (m_data.size() < kChunk || m_data.at(0) != 0)
        throw ParadoxError(paradoxDamaged(m_fileName, QStringLiteral("нет заголовка файла памяток")));
}

QByteArrayView ParadoxMemoFile::blob(quint32 offset, quint32 length, const QString& where) const {
    const auto* data = reinterpret_cast<const uchar*>(m_data.constData());
    const qint64 size = m_data.size();
    const qint64 block = offset & 0xFFFFFF00u;
    const int index = int(offset & 0xFFu);
    auto damaged = [&](const QString& what) {
        return ParadoxError(paradoxDamaged(m_fileName, where + QStringLiteral(": ") + what));
    };

    if (block < kChunk || block % kChunk != 0 || block + kChunk > size)
        throw damaged(QStringLiteral("ссылка на блок 0x%1 вне файла памяток").arg(block, 0, 16));
    const uchar type = data[block];
    const qint64 chunks = paradoxLe16(data + block + 1);

    if (index == kSingleBlobIndex) {
        if (type != 2)
            throw damaged(
                QStringLiteral("блок 0x%1 не содержит памятки (тип %2)").arg(block, 0, 16).arg(type));
        const quint32 stored = paradoxLe32(data + block + 3);
        if (chunks < 1 || block + chunks * kChunk > size)
            throw damaged(QStringLiteral("блок 0x%1 выходит за конец файла памяток").arg(block, 0, 16));
        if (stored != length)
            throw damaged(QStringLiteral("длина памятки в таблице (%1) и в файле памяток (%2) расходятся")
                              .arg(length)
                              .arg(stored));
        if (kSingleBlobHeader + qint64(length) > chunks * kChunk)
            throw damaged(QStringLiteral("памятка длиной %1 байт не помещается в свой блок").arg(length));
        return QByteArrayView(m_data.constData() + block + kSingleBlobHeader, length);
    }

    if (index >= kSubEntries)
        throw damaged(QStringLiteral("недопустимый номер памятки в блоке (%1)").arg(index));
    if (type != 3)
        throw damaged(
            QStringLiteral("блок 0x%1 не содержит малых памяток (тип %2)").arg(block, 0, 16).arg(type));
    const uchar* entry = data + block + kSubBlockHeader + index * kSubEntrySize;
    const qint64 start = qint64(entry[0]) * 16;
    const qint64 paragraphs = entry[1];
    const int remainder = entry[4];
    const qint64 dataStart = kSubBlockHeader + kSubEntries * kSubEntrySize;
    if (paragraphs == 0 || start < dataStart || start + paragraphs * 16 > kChunk)
        throw damaged(QStringLiteral("запись %1 таблицы малых памяток блока 0x%2 повреждена")
                          .arg(index)
                          .arg(block, 0, 16));
    // The entry gives the length as whole paragraphs and the bytes used of the last one (1–16).
    if (remainder < 1 || remainder > 16 || qint64(length) != (paragraphs - 1) * 16 + remainder)
        throw damaged(
            QStringLiteral("длина памятки в таблице (%1) не согласуется с файлом памяток").arg(length));
    return QByteArrayView(m_data.constData() + block + start, length);
}
