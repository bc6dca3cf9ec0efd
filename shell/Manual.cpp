#include "shell/Manual.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

// The manual is embedded in the GUI library, a static one: the resource must be referenced for
// the linker to keep it.
static void initManualResources() {
    Q_INIT_RESOURCE(manual);
}

namespace {

const QRegularExpression& headingPattern() {
    static const QRegularExpression heading(
        QStringLiteral("^(#{1,6})\\s+(.*?)(?:\\s*\\{#([A-Za-z0-9_-]+)\\})?\\s*$"));
    return heading;
}

QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Letters as the search compares them: small, Ё as Е.
QString folded(const QString& text) {
    return text.toLower().replace(QChar(0x451), QChar(0x435));
}

} // namespace

const Manual& Manual::instance() {
    initManualResources();
    static const Manual manual(QStringLiteral(":/help/manual"));
    return manual;
}

Manual::Manual(const QString& folder) : folder_(folder) {
    for (const QString& line : readText(folder + QStringLiteral("/pages.txt")).split(u'\n')) {
        const QString page = line.trimmed();
        if (page.isEmpty() || page.startsWith(u'#'))
            continue;
        pages_ << page;
        const QString text = readText(folder + u'/' + page);
        text_.insert(page, text);
        bool inCode = false;
        for (const QString& row : text.split(u'\n')) {
            if (row.startsWith(QStringLiteral("```")))
                inCode = !inCode;
            const QRegularExpressionMatch m =
                inCode ? QRegularExpressionMatch() : headingPattern().match(row);
            if (m.hasMatch()) {
                sections_.append(Section{m.captured(3), m.captured(2), page, int(m.captured(1).size()), {}});
            } else if (!sections_.isEmpty() && sections_.last().page == page) {
                sections_.last().text += row + u'\n';
            }
        }
    }
}

const Manual::Section* Manual::section(const QString& id) const {
    if (id.isEmpty())
        return nullptr;
    for (const Section& s : sections_)
        if (s.id == id)
            return &s;
    return nullptr;
}

QString Manual::markdown(const QString& page) const {
    QStringList rows = text_.value(page).split(u'\n');
    for (QString& row : rows) {
        const QRegularExpressionMatch m = headingPattern().match(row);
        if (m.hasMatch() && !m.captured(3).isEmpty())
            row = m.captured(1) + u' ' + m.captured(2);
    }
    return rows.join(u'\n');
}

QList<Manual::Section> Manual::search(const QString& query) const {
    const QStringList words =
        folded(query).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    QList<Section> found;
    if (words.isEmpty())
        return found;
    for (const Section& s : sections_) {
        const QString haystack = folded(s.title + u'\n' + s.text);
        if (std::all_of(words.cbegin(), words.cend(), [&](const QString& w) { return haystack.contains(w); }))
            found.append(s);
    }
    return found;
}

QStringList Manual::brokenLinks() const {
    static const QRegularExpression link(QStringLiteral("\\]\\(#([^)\\s]+)\\)"));
    QStringList broken;
    for (const QString& page : pages_)
        for (auto it = link.globalMatch(text_.value(page)); it.hasNext();) {
            const QString id = it.next().captured(1);
            if (!section(id))
                broken << id;
        }
    return broken;
}

QStringList Manual::pictures() const {
    static const QRegularExpression picture(QStringLiteral("!\\[[^\\]]*\\]\\(([^)\\s]+)\\)"));
    QStringList found;
    for (const QString& page : pages_)
        for (auto it = picture.globalMatch(text_.value(page)); it.hasNext();)
            found << it.next().captured(1);
    return found;
}
