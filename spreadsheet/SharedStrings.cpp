#include "spreadsheet/SharedStrings.h"

namespace {

bool allowed(char16_t ch) {
    return ch >= 0x20 ? ch != 0xFFFE && ch != 0xFFFF : ch == u'\t' || ch == u'\n';
}

// Blanks at either end, or line breaks and tabs, are kept only where xml:space says so.
bool needsPreserve(const QString& text) {
    if (text.isEmpty())
        return false;
    for (const QChar ch : text)
        if (ch == u'\t' || ch == u'\n')
            return true;
    return text.front().isSpace() || text.back().isSpace();
}

} // namespace

QString withoutControlCharacters(const QString& text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    for (; i < n; ++i) {
        const char16_t ch = text[i].unicode();
        if (!allowed(ch) || QChar::isSurrogate(ch))
            break;
    }
    if (i == n)
        return text;
    QString out = text.left(i);
    for (; i < n; ++i) {
        const char16_t ch = text[i].unicode();
        if (QChar::isHighSurrogate(ch) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            out.append(text[i]).append(text[i + 1]);
            ++i;
        } else if (ch == u'\r') {
            if (i + 1 == n || text[i + 1] != u'\n')
                out.append(u'\n');
        } else if (allowed(ch) && !QChar::isSurrogate(ch)) {
            out.append(text[i]);
        }
    }
    return out;
}

const char* SharedStrings::emptyXml() {
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
           R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="0" uniqueCount="0"/>)";
}

bool SharedStrings::load(const std::string& xml) {
    if (!part_.parse(xml) || !isNamed(part_.root(), "sst"))
        return false;
    siName_ = part_.name("si");
    tName_ = part_.name("t");
    count_ = 0;
    texts_.clear();
    for (pugi::xml_node si = part_.root().first_child(); si; si = si.next_sibling()) {
        if (!isNamed(si, "si"))
            continue;
        // Plain texts can be reused; rich texts (runs) stay as they are.
        const pugi::xml_node t = si.first_child();
        if (isNamed(t, "t") && !t.next_sibling()) {
            const QString text = QString::fromUtf8(t.text().get());
            if (!index_.contains(text))
                index_.insert(text, count_);
            texts_.append(text);
        } else {
            QString runs;
            for (pugi::xml_node r = si.first_child(); r; r = r.next_sibling())
                if (isNamed(r, "r"))
                    runs += QString::fromUtf8(childNamed(r, "t").text().get());
            texts_.append(runs);
        }
        ++count_;
    }
    return true;
}

int SharedStrings::add(const QString& original) {
    const QString text = withoutControlCharacters(original);
    const auto found = index_.constFind(text);
    if (found != index_.constEnd())
        return found.value();
    pugi::xml_node t = part_.root().append_child(siName_.c_str()).append_child(tName_.c_str());
    if (needsPreserve(text))
        t.append_attribute("xml:space") = "preserve";
    const QByteArray utf8 = text.toUtf8();
    t.append_child(pugi::node_pcdata).set_value(utf8.constData(), size_t(utf8.size()));
    index_.insert(text, count_);
    texts_.append(text);
    changed_ = true;
    return count_++;
}

QString SharedStrings::text(int index) const {
    return index >= 0 && index < texts_.size() ? texts_[index] : QString();
}

std::string SharedStrings::save() {
    // The number of references (count) is not known without reading every sheet, and it is
    // optional: only the number of entries is written.
    pugi::xml_node sst = part_.root();
    sst.remove_attribute("count");
    pugi::xml_attribute unique = sst.attribute("uniqueCount");
    if (!unique)
        unique = sst.append_attribute("uniqueCount");
    unique.set_value(count_);
    return part_.save();
}
