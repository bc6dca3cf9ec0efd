#include "data/paradox/ParadoxCodePage.h"

#include <array>
#include <map>
#include <mutex>
#include <QStringDecoder>

namespace {

const char16_t* builtInTable(int number) {
    switch (number) {
    case 437:
        return kParadoxCp437;
    case 850:
        return kParadoxCp850;
    case 852:
        return kParadoxCp852;
    case 865:
        return kParadoxCp865;
    case 866:
        return kParadoxCp866;
    case 1250:
        return kParadoxCp1250;
    case 1251:
        return kParadoxCp1251;
    case 1252:
        return kParadoxCp1252;
    }
    return nullptr;
}

// A built-in table over all 256 bytes, built once per code page.
std::shared_ptr<const char16_t[]> buildDecodeTable(int number, const char16_t* high) {
    static std::mutex mutex;
    static std::map<int, std::shared_ptr<const char16_t[]>> tables;
    std::lock_guard<std::mutex> lock(mutex);
    auto& slot = tables[number];
    if (!slot) {
        std::shared_ptr<char16_t[]> table(new char16_t[256]);
        for (int b = 0; b < 256; ++b)
            table[b] = b < 0x80 ? char16_t(b) : high[b - 0x80];
        slot = std::move(table);
    }
    return slot;
}

// The reverse of a built-in table over the whole UTF-16 range, built once per code page.
std::shared_ptr<const unsigned char[]> buildEncodeTable(int number, const char16_t* high) {
    static std::mutex mutex;
    static std::map<int, std::shared_ptr<const unsigned char[]>> tables;
    std::lock_guard<std::mutex> lock(mutex);
    auto& slot = tables[number];
    if (!slot) {
        std::shared_ptr<unsigned char[]> table(new unsigned char[0x10000]());
        for (int c = 1; c < 0x80; ++c)
            table[c] = static_cast<unsigned char>(c);
        for (int b = 0; b < 0x80; ++b)
            if (high[b] != 0xFFFD)
                table[high[b]] = static_cast<unsigned char>(0x80 + b);
        slot = std::move(table);
    }
    return slot;
}

} // namespace

ParadoxCodePage::ParadoxCodePage() = default;
ParadoxCodePage::~ParadoxCodePage() = default;
ParadoxCodePage::ParadoxCodePage(const ParadoxCodePage&) = default;
ParadoxCodePage& ParadoxCodePage::operator=(const ParadoxCodePage&) = default;

ParadoxCodePage ParadoxCodePage::forNumber(int number) {
    ParadoxCodePage page;
    if (number <= 0 || number > 65535)
        return page;
    if (const char16_t* high = builtInTable(number)) {
        page.m_number = number;
        page.m_high = high;
        page.m_decode = buildDecodeTable(number, high);
        page.m_encode = buildEncodeTable(number, high);
        return page;
    }
    // The names the system converters know code pages by differ between families.
    const QString candidates[] = {QStringLiteral("windows-%1").arg(number),
                                  QStringLiteral("cp%1").arg(number), QStringLiteral("IBM%1").arg(number)};
    for (const QString& name : candidates) {
        auto decoder =
            std::make_shared<QStringDecoder>(name.toLatin1().constData(), QStringConverter::Flag::Stateless);
        if (decoder->isValid()) {
            page.m_number = number;
            page.m_decoder = std::move(decoder);
            return page;
        }
    }
    return page;
}

namespace {
void decodeSingleByte(const char16_t* table, const char* bytes, qsizetype size, char16_t* out) {
    const auto* in = reinterpret_cast<const unsigned char*>(bytes);
    for (qsizetype i = 0; i < size; ++i)
        out[i] = table[in[i]];
}
} // namespace

void ParadoxCodePage::decodeInto(const char* bytes, qsizetype size, QString& text) const {
    if (m_high && size > 0) {
        text.resize(size);
        decodeSingleByte(m_decode.get(), bytes, size, reinterpret_cast<char16_t*>(text.data()));
    } else {
        text = decode(bytes, size);
    }
}

QString ParadoxCodePage::decode(const char* bytes, qsizetype size) const {
    if (size <= 0)
        return QString();
    if (m_high) {
        QString text(size, Qt::Uninitialized);
        decodeSingleByte(m_decode.get(), bytes, size, reinterpret_cast<char16_t*>(text.data()));
        return text;
    }
    if (m_decoder) {
        m_decoder->resetState();
        return m_decoder->decode(QByteArrayView(bytes, size));
    }
    return QString();
}
