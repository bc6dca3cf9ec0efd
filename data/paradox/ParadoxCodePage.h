#pragma once
// Text of a Paradox table in its code page: field bytes to QString and back.
//
// The common single-byte code pages (437, 850, 852, 865, 866, 1250, 1251, 1252) are decoded
// through tables of their own, which is fast and needs no conversion library. Every other code
// page (936 and the other multi-byte ones among them) goes through the converters Qt has, which
// on our platforms come from ICU; a code page neither knows is reported as unsupported.
#include <memory>
#include <QString>
#include <QStringView>

class QStringDecoder;

class ParadoxCodePage {
public:
    // The code page with Windows/DOS number `number`, or an invalid one (isValid() false) when
    // neither a table of ours nor the system's converters know it.
    static ParadoxCodePage forNumber(int number);

    ParadoxCodePage();
    ~ParadoxCodePage();
    ParadoxCodePage(const ParadoxCodePage&);
    ParadoxCodePage& operator=(const ParadoxCodePage&);

    bool isValid() const { return m_number != 0; }
    int number() const { return m_number; }
    bool isSingleByte() const { return m_high != nullptr; }

    // Decodes `size` bytes (no terminator is looked for; the caller cuts the field at its first
    // zero byte).
    QString decode(const char* bytes, qsizetype size) const;
    // Decodes into `text`, reusing its storage when it is not shared (the streaming reader keeps
    // one string a field from record to record).
    void decodeInto(const char* bytes, qsizetype size, QString& text) const;

    // Single-byte code pages only: the byte `c` stands for, or -1 when the code page has none
    // (U+0000 included, which a Paradox field cannot hold).
    int encodeChar(char16_t c) const { return m_encode ? (m_encode[c] ? int(m_encode[c]) : -1) : -1; }
    // The same as a table over all UTF-16 units (0: none); null for multi-byte code pages.
    const unsigned char* encodeTable() const { return m_encode.get(); }

private:
    int m_number = 0;
    const char16_t* m_high = nullptr;                // bytes 0x80–0xFF of a single-byte page
    std::shared_ptr<const char16_t[]> m_decode;      // all 256 bytes, so that decoding needs no branch
    std::shared_ptr<const unsigned char[]> m_encode; // UTF-16 unit -> byte (0: none)
    std::shared_ptr<QStringDecoder> m_decoder;       // the system converter for other pages
};

// Upper halves of the built-in code pages (ParadoxCodePageTables.cpp).
extern const char16_t kParadoxCp437[128];
extern const char16_t kParadoxCp850[128];
extern const char16_t kParadoxCp852[128];
extern const char16_t kParadoxCp865[128];
extern const char16_t kParadoxCp866[128];
extern const char16_t kParadoxCp1250[128];
extern const char16_t kParadoxCp1251[128];
extern const char16_t kParadoxCp1252[128];
